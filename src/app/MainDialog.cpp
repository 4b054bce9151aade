#include "core/AppContext.h"
#include "app/EndSave.h"
#include "app/MainWindow.h"
#include "app/ShellState.h"
#include "app/resource.h"
#include "board/WheelLink.h"
#include "controller/ControllerDiscovery.h"
#include "controller/Tick.h"
#include "exec/Log.h"

namespace {

constexpr UINT_PTR TickTimer = 0;
constexpr UINT TickPeriod = 33; // milliseconds

void Restore()
{
    g_shell.minimised = 0;
    UpdateTrayIcon(g_shell);
    ShowMainWindow();
}

BOOL OnCommand(HWND dialog, WORD id)
{
    switch (id) {
    case IDCANCEL:
        // Escape, from the dialog manager.
        PostQuitMessage(1);
        return TRUE;
    case IDM_RESTORE:
        Restore();
        return TRUE;
    case IDM_EXIT:
        Restore();
        EndDialog(dialog, IDM_EXIT);
        PostQuitMessage(0);
        return TRUE;
    case IDM_ABOUT:
        DialogBoxParamA(g_shell.instance, MAKEINTRESOURCEA(IDD_ABOUT), dialog, AboutDialogProc, 0);
        return TRUE;
    case IDC_CALIBRATE:
        Calibrate(g_app);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        g_app.quitRequested = [](AppContext&) { PostQuitMessage(0); };
        if (InitControllers(g_app, dialog) < 0) {
            MessageBoxA(nullptr, "Error Initializing DirectInput", g_interfaceName, MB_ICONERROR);
            EndDialog(dialog, 0);
        }
        SetTimer(dialog, TickTimer, TickPeriod, nullptr);
        return TRUE;
    case WM_TIMER:
        Tick(g_app, g_shell.minimised != 0);
        return TRUE;
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED) {
            g_shell.minimised = 1;
            UpdateTrayIcon(g_shell);
            ShowMainWindow();
        } else if (wParam == SIZE_RESTORED) {
            Restore();
        }
        return TRUE;
    case WM_ACTIVATE:
        if (wParam != 0) AcquireController(g_app);
        return TRUE;
    case WM_ENDSESSION:
        // Logoff or shutdown: the program ends with the session and keeps
        // what its exit keeps. A session end that was called off changes
        // nothing.
        if (wParam) {
            LogPrintf(0, "received WM_ENDSESSION, saving");
            SaveSettingsAndProfiles(g_app, g_shell.saved);
            PostQuitMessage(0);
        }
        return TRUE;
    case WM_CLOSE:
    case WM_DESTROY:
        LogPrintf(0, "received WM_CLOSE, closing");
        PostQuitMessage(1);
        return TRUE;
    case WM_COMMAND: {
        // Enter on a page's button reaches the main window through the
        // dialog manager; the button's page carries it out as it does a click.
        HWND control = reinterpret_cast<HWND>(lParam);
        HWND page = control ? GetParent(control) : nullptr;
        if (page && page != dialog) {
            SendMessageA(page, WM_COMMAND, wParam, lParam);
            return TRUE;
        }
        return OnCommand(dialog, LOWORD(wParam));
    }
    default:
        return FALSE;
    }
}
