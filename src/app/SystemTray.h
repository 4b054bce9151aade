#pragma once

#include <windows.h>
#include <shellapi.h>

// The notification-area icon with its invisible window that receives the
// icon's callback messages.
class SystemTray {
public:
    SystemTray();
    virtual ~SystemTray();
    SystemTray(const SystemTray&) = delete;
    SystemTray& operator=(const SystemTray&) = delete;

    // Adds the icon; returns the result of the add.
    BOOL Create(HINSTANCE instance, HWND target, UINT callbackMessage, const char* tooltip, HICON icon);
    // Shows another icon while the tray is up.
    void SetIcon(HICON icon);
    // Handles the icon's callback (lParam of the callback message); 0 or 1.
    LRESULT OnTrayNotification(LPARAM lParam);

    UINT CallbackMessage() const { return iconData_.uCallbackMessage; }

    static size_t m_nMaxTooltipLength;

private:
    HINSTANCE instance_ = nullptr;
    HWND hiddenWindow_ = nullptr;
    NOTIFYICONDATAA iconData_{};
    BOOL enabled_ = FALSE;
    BOOL hidden_ = TRUE;
    BOOL removed_ = TRUE;
    BOOL addFailed_ = FALSE;
    HWND targetWindow_ = nullptr;
    UINT defaultMenuItem_ = 0;
    BOOL defaultByPosition_ = TRUE;
    UINT creationFlags_ = 0;
};
