#pragma once

#include <windows.h>

class SystemTray;

// The window and tray side of the program; one instance for the whole run.
struct ShellState {
    UINT minimised = 0;          // 1 while the main window sits in the notification area
    HINSTANCE instance = nullptr;
    HWND mainWindow = nullptr;   // the message loop hands its keys to the dialog manager
    HICON trayIcon = nullptr;    // icon 3, loaded each time the tray is updated
    UINT trayMessage = 0;        // "Server tray notification", the tray's callback message
    SystemTray* tray = nullptr;  // present only while minimised
    bool saved = false;          // config.ini and GameProfiles.ini are written (exit or session end)

    ShellState();
};

extern ShellState g_shell;

// String 109 of the string table, the caption of the controller error box.
extern char g_interfaceName[100];

// Makes the tray agree with the minimised flag.
void UpdateTrayIcon(ShellState& shell);
