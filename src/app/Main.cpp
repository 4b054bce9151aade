// Entry point of Vantor.exe: start switches, the single-instance rule, the
// runtime, the main window and its message loop, then the shutdown order.
#include "core/AppContext.h"
#include "app/EndSave.h"
#include "app/MainWindow.h"
#include "app/ShellState.h"
#include "core/StartSwitches.h"
#include "app/resource.h"
#include "exec/Exec.h"
#include "exec/ExecConfig.h"
#include "platform/Controls.h"
#include "platform/MessageBoxStyle.h"
#include "profiles/ProfileFile.h"
#include "profiles/SettingsFile.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<std::string> CommandLineWords()
{
    std::vector<std::string> words;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv) return words;
    for (int i = 0; i < count; ++i) {
        const int size = WideCharToMultiByte(CP_ACP, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string word(size > 0 ? static_cast<size_t>(size) : 1u, '\0');
        WideCharToMultiByte(CP_ACP, 0, argv[i], -1, word.data(), size, nullptr, nullptr);
        word.resize(std::char_traits<char>::length(word.c_str()));
        words.push_back(word);
    }
    LocalFree(argv);
    return words;
}

// The current directory with a trailing backslash.
void CurrentDirectory(char* out, size_t size)
{
    char directory[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof directory, directory);
    const size_t length = std::char_traits<char>::length(directory);
    const bool separated = length > 0 && directory[length - 1] == '\\';
    std::snprintf(out, size, "%s%s", directory, separated ? "" : "\\");
}

ExecConfig ApplicationExecConfig(HINSTANCE instance)
{
    ExecConfig config;
    config.mainRamSize = 32u * 1024u * 1024u;
    config.debugRamSize = 256;
    config.logLevel = 0;
    config.flags = 2;
    config.language = 0;
    config.logMode = 2;
    config.memoryFlags = 0;
    CurrentDirectory(config.logDirectory, sizeof config.logDirectory);
    CurrentDirectory(config.baseDirectory, sizeof config.baseDirectory);
    config.applicationWord = reinterpret_cast<uintptr_t>(instance);
    return config;
}

int RunMessageLoop(HACCEL accelerators)
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorA(message.hwnd, accelerators, &message)) continue;
        // The dialog manager moves the focus with Tab, Shift-Tab and the
        // arrow keys, and makes Escape the main window's cancel command
        // unless the focused control takes it, as an open drop-down list
        // does to close itself.
        if (IsDialogMessageA(g_shell.mainWindow, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

// One box naming the files that kept their previous contents.
void ReportUnsavedFiles(const UnsavedFiles& unsaved)
{
    const bool settingsSaved = !unsaved.settings;
    const bool profilesSaved = !unsaved.profiles;
    if (settingsSaved && profilesSaved) return;
    char text[160];
    std::snprintf(text, sizeof text, "Could not save %s%s%s. The changes made in this session are lost.",
                  settingsSaved ? "" : "config.ini", settingsSaved || profilesSaved ? "" : " and ",
                  profilesSaved ? "" : "GameProfiles.ini");
    g_app.commandBusy = 1; // the tick goes on under the box: no board exchange meanwhile
    ActiveControls().ShowMessage(g_shell.mainWindow, text, ExecCaption(), MessageIconExclamation);
}

void Shutdown()
{
    ReportUnsavedFiles(SaveSettingsAndProfiles(g_app, g_shell.saved));
    g_app.profiles.Clear();
    ExitExec();
    g_app.boardPort.Close();
    CloseHandle(g_app.mutex);
    g_app.mutex = nullptr;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g_switches = ParseStartSwitches(CommandLineWords());
    LoadStringA(instance, IDS_VT_INTERFACE, g_interfaceName, sizeof g_interfaceName);

    HANDLE mutex = CreateMutexA(nullptr, TRUE, "Vantor");
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) {
        if (mutex) CloseHandle(mutex);
        MessageBoxA(nullptr, "Another instance of Vantor is running", ExecCaption(), MB_ICONERROR);
        return 0;
    }
    g_app.mutex = mutex;
    g_app.instance = instance;
    g_app.commandBusy = 1;

    if (InitExec(ApplicationExecConfig(instance))) {
        LoadSettings(g_app);
        LoadProfiles(g_app);
    }

    // The pages hold trackbars.
    INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);

    HWND mainWindow = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    g_shell.mainWindow = mainWindow;
    g_shell.instance = instance;
    if (!mainWindow) {
        Shutdown();
        return 0;
    }

    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    CreatePages(mainWindow);

    const int exitCode = RunMessageLoop(accelerators);
    Shutdown();
    return exitCode;
}
