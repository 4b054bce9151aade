#include "core/AppContext.h"
#include "app/MainWindow.h"
#include "app/ShellState.h"
#include "core/Version.h"
#include "app/resource.h"
#include "core/StartSwitches.h"
#include "ui/DrivePage.h"
#include "ui/MainPage.h"

#include <cstdio>

void CreatePages(HWND mainWindow)
{
    g_app.mainWindow = mainWindow;

    HWND page = CreateDialogParamA(g_shell.instance, MAKEINTRESOURCEA(IDD_MAIN_PAGE), mainWindow,
                                   PageDialogProc, 0);
    InitMainPage(g_app, page);

    SetWindowPos(page, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT pageRect{};
    GetWindowRect(page, &pageRect);
    const int width = pageRect.right - pageRect.left;
    int height = pageRect.bottom - pageRect.top;

    // With "dev" the drive page sits below the main page and the window
    // grows to hold both.
    if (g_switches.dev) {
        HWND drivePage = CreateDialogParamA(g_shell.instance, MAKEINTRESOURCEA(IDD_DRIVE_PAGE), mainWindow,
                                            PageDialogProc, 0);
        InitDrivePage(g_app, drivePage);
        SetWindowPos(drivePage, nullptr, 0, height, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        RECT driveRect{};
        GetWindowRect(drivePage, &driveRect);
        height += driveRect.bottom - driveRect.top;
    }

    SetWindowPos(mainWindow, nullptr, 0, 0, width + 10, height + 32, SWP_NOMOVE | SWP_NOZORDER);

    char title[128] = {};
    GetWindowTextA(mainWindow, title, sizeof title);
    char versioned[128];
    std::snprintf(versioned, sizeof versioned, "%s (version %d.%d)", title, VersionMajor, VersionMinor);
    SetWindowTextA(mainWindow, versioned);

    ShowWindow(mainWindow, SW_SHOWNORMAL);
    g_app.commandBusy = 0;
}

void ShowMainWindow()
{
    ShowWindow(g_shell.mainWindow, g_shell.minimised == 0 ? SW_SHOWNORMAL : SW_HIDE);
}

INT_PTR CALLBACK PageDialogProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        EndDialog(page, 0);
        return TRUE;
    case WM_INITDIALOG:
    case WM_ACTIVATE:
    case WM_TIMER:
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL) {
            EndDialog(page, 0);
            return TRUE;
        }
        return PageNotified(g_app, id, HIWORD(wParam), page) ? TRUE : FALSE;
    }
    case WM_HSCROLL:
        // Every notification of every trackbar, the drag's included.
        PageTrackbarScrolled(g_app, reinterpret_cast<HWND>(lParam));
        return TRUE;
    default:
        return FALSE;
    }
}
