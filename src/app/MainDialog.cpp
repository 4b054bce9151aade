#include "core/AppContext.h"
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
constexpr WPARAM EscapeKey = 27;

void Restore()
{
    g_shell.minimised = 0;
    UpdateTrayIcon(g_shell);
    ShowMainWindow();
}

BOOL OnCommand(HWND dialog, WORD id)
{
    switch (id) {
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

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
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
    case WM_KEYDOWN:
    case WM_CHAR:
        if (wParam != EscapeKey) return FALSE;
        PostQuitMessage(1);
        return TRUE;
    case WM_CLOSE:
    case WM_DESTROY:
        LogPrintf(0, "received WM_CLOSE, closing");
        PostQuitMessage(1);
        return TRUE;
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    default:
        return FALSE;
    }
}
