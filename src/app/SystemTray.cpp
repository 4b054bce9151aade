#include "app/SystemTray.h"

#include "app/ShellState.h"
#include "app/resource.h"
#include "exec/Log.h"
#include "platform/DebugOutput.h"

#include <cstdio>
#include <cstring>

size_t SystemTray::m_nMaxTooltipLength = 64;

namespace {

constexpr UINT TrayIconId = 131;

// The tray's own assertion box: the runtime's layout with a longer rule.
void TrayAssert(const char* condition, int line)
{
    char text[1024];
    std::snprintf(text, sizeof text,
                  "Lumen Assert Box\n___________________________________________________________\n\n\n"
                  "Cond : %s\nMessage : %s\n\nIn file : %s, at line : %i",
                  condition, "Error", "SystemTray", line);
    if (MessageBoxA(nullptr, text, "Lumen assert !", MB_RETRYCANCEL | MB_ICONERROR) == IDRETRY &&
        DebuggerAttached()) {
        BreakIntoDebugger();
    }
}

LRESULT CALLBACK HiddenWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    SystemTray* tray = g_shell.tray;
    if (tray && message == tray->CallbackMessage()) {
        return wParam == TrayIconId ? tray->OnTrayNotification(lParam) : 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

SystemTray::SystemTray() = default;

SystemTray::~SystemTray()
{
    addFailed_ = FALSE;
    if (enabled_ && !removed_) {
        iconData_.uFlags = 0;
        if (Shell_NotifyIconA(NIM_DELETE, &iconData_)) {
            hidden_ = TRUE;
            removed_ = TRUE;
        }
    }
    if (hiddenWindow_) DestroyWindow(hiddenWindow_);
}

BOOL SystemTray::Create(HINSTANCE instance, HWND target, UINT callbackMessage, const char* tooltip, HICON icon)
{
    m_nMaxTooltipLength = sizeof iconData_.szTip;
    enabled_ = TRUE;
    if (callbackMessage < WM_APP) TrayAssert("uCallbackMessage >= WM_APP", 245);
    if (std::strlen(tooltip) > m_nMaxTooltipLength) TrayAssert("_tcslen(szToolTip) <= m_nMaxTooltipLength", 249);

    instance_ = instance;
    targetWindow_ = target;

    char className[100] = {};
    LoadStringA(instance, IDS_VT_INTERFACE_TRAY, className, sizeof className);
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = HiddenWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_VANTOR));
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass); // already registered by an earlier tray: fine

    hiddenWindow_ = CreateWindowExA(0, className, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);

    // The structure is larger on 64-bit than the 504 bytes of a 32-bit build.
    iconData_ = NOTIFYICONDATAA{};
    iconData_.cbSize = sizeof iconData_;
    iconData_.hWnd = hiddenWindow_;
    iconData_.uID = TrayIconId;
    iconData_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    iconData_.uCallbackMessage = callbackMessage;
    iconData_.hIcon = icon;
    std::snprintf(iconData_.szTip, m_nMaxTooltipLength, "%s", tooltip);

    hidden_ = FALSE;
    creationFlags_ = iconData_.uFlags;

    const BOOL added = Shell_NotifyIconA(NIM_ADD, &iconData_);
    hidden_ = removed_ = addFailed_ = !added;
    if (!added) LogPrintf(0, "SystemTray: could not add the notification icon");
    return added;
}

void SystemTray::SetIcon(HICON icon)
{
    if (!enabled_ || hidden_) return;
    iconData_.uFlags = NIF_ICON;
    iconData_.hIcon = icon;
    Shell_NotifyIconA(NIM_MODIFY, &iconData_);
}

LRESULT SystemTray::OnTrayNotification(LPARAM lParam)
{
    HWND window = targetWindow_ ? targetWindow_ : hiddenWindow_;
    if (!window) return 0;

    switch (LOWORD(lParam)) {
    case WM_RBUTTONUP: {
        HMENU menu = LoadMenuA(instance_, MAKEINTRESOURCEA(IDR_TRAY_MENU));
        if (!menu) return 0;
        HMENU popup = GetSubMenu(menu, 0);
        if (!popup) {
            DestroyMenu(menu);
            return 0;
        }
        SetMenuDefaultItem(popup, defaultMenuItem_, defaultByPosition_);
        POINT cursor;
        GetCursorPos(&cursor);
        SetForegroundWindow(window);
        TrackPopupMenu(popup, 0, cursor.x, cursor.y, 0, window, nullptr);
        PostMessageA(window, WM_NULL, 0, 0);
        DestroyMenu(menu);
        return 1;
    }
    case WM_LBUTTONDBLCLK:
        SetForegroundWindow(window);
        SendMessageA(window, WM_COMMAND, IDM_RESTORE, 0);
        return 1;
    default:
        return 1;
    }
}
