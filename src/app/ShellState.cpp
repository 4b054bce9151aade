#include "app/ShellState.h"

#include "app/SystemTray.h"
#include "app/resource.h"

#include <cstdio>

namespace {
UINT g_taskbarCreated = 0; // registered at load; nothing handles it
const char TrayTooltip[] = "Arvo Device Config";
} // namespace

ShellState g_shell;
char g_interfaceName[100] = {};

ShellState::ShellState()
{
    trayMessage = RegisterWindowMessageA("Server tray notification");
    g_taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
}

void UpdateTrayIcon(ShellState& shell)
{
    shell.trayIcon = LoadIconA(shell.instance, MAKEINTRESOURCEA(IDI_VANTOR));
    char tooltip[256];
    std::snprintf(tooltip, sizeof tooltip, "%s", TrayTooltip);

    if (shell.minimised) {
        if (!shell.tray) {
            shell.tray = new SystemTray;
            shell.tray->Create(shell.instance, shell.mainWindow, shell.trayMessage, tooltip, shell.trayIcon);
        } else {
            shell.tray->SetIcon(LoadIconA(shell.instance, MAKEINTRESOURCEA(IDI_VANTOR)));
        }
    } else if (shell.tray) {
        delete shell.tray;
        shell.tray = nullptr;
    }
}
