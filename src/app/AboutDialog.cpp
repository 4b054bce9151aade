#include "app/MainWindow.h"

#include <commctrl.h>

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_LINK_CLASS};
        InitCommonControlsEx(&classes);
        return TRUE;
    }
    case WM_COMMAND:
        // Escape reaches a modal box as the cancel command.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 1);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        EndDialog(dialog, 1);
        return TRUE;
    case WM_KEYDOWN:
    case WM_CHAR:
        if (wParam != 27) return FALSE;
        EndDialog(dialog, 1);
        return TRUE;
    default:
        return FALSE;
    }
}
