#include "platform/ModalDialog.h"

#include <windows.h>

namespace {

constexpr WPARAM LineFeed = 10;

void Finish(HWND dialog, DialogLogic& logic, int id, int notification = 0)
{
    const int code = logic.Notified(dialog, id, notification);
    if (code >= 0) EndDialog(dialog, code);
}

// The one timer a dialog's logic may ask for.
constexpr UINT_PTR LogicTimer = 0;

INT_PTR CALLBACK LogicDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* logic = reinterpret_cast<DialogLogic*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        auto* started = reinterpret_cast<DialogLogic*>(lParam);
        started->Init(dialog);
        // Ending the dialog destroys the timer with its window.
        if (const unsigned period = started->TimerPeriodMs()) SetTimer(dialog, LogicTimer, period, nullptr);
        return TRUE;
    }
    case WM_COMMAND:
        if (!logic) return FALSE;
        Finish(dialog, *logic, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_HSCROLL:
        if (!logic) return FALSE;
        logic->Scrolled(dialog, reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_TIMER:
        if (!logic) return FALSE;
        logic->Timer(dialog);
        return TRUE;
    case WM_CLOSE:
        if (logic) Finish(dialog, *logic, IDCANCEL);
        return TRUE;
    case WM_KEYDOWN:
    case WM_CHAR:
        if (!logic || wParam != LineFeed) return FALSE;
        Finish(dialog, *logic, IDOK);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

int RunSystemDialog(NativeHandle owner, int resourceId, DialogLogic& logic)
{
    const INT_PTR code = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId),
                                         static_cast<HWND>(owner), LogicDialogProc,
                                         reinterpret_cast<LPARAM>(&logic));
    return code < 0 ? 0 : static_cast<int>(code);
}
