#include "platform/ChildProcess.h"

#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace {

// Starts the program (no shell: the command line goes to it as built). One
// whose output is read runs without a console window of its own. A program
// named without an extension is its ".exe".
bool Start(const std::string& program, const std::vector<std::string>& arguments, HANDLE output,
           PROCESS_INFORMATION& process)
{
    std::string path = program;
    if (path.find('.', path.find_last_of("\\/") + 1) == std::string::npos) path += ".exe";
    std::string line = WindowsCommandLine(arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (output) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    }
    if (!CreateProcessA(path.c_str(), line.data(), nullptr, nullptr, output != nullptr,
                        output ? CREATE_NO_WINDOW : 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    return true;
}

// The exit status of a process that has ended, and its handle closed.
int Finish(PROCESS_INFORMATION& process)
{
    DWORD status = 0;
    const bool known = GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    return known ? static_cast<int>(status) : -1;
}

class WindowsChildProcesses final : public ChildProcesses {
public:
    bool ReadOutput(const std::string& program, std::vector<std::string>& lines) override
    {
        lines.clear();
        if (!FileExists(program)) return false;
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        HANDLE readEnd, writeEnd;
        if (!CreatePipe(&readEnd, &writeEnd, &inherited, 0)) return false;
        SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
        PROCESS_INFORMATION process{};
        const bool started = Start(program, {program}, writeEnd, process);
        CloseHandle(writeEnd);
        const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(readEnd), _O_RDONLY | _O_TEXT);
        std::FILE* output = descriptor < 0 ? nullptr : _fdopen(descriptor, "rt");
        if (output) {
            ReadLines(output, lines);
            std::fclose(output);
        } else if (descriptor >= 0) {
            _close(descriptor);
        } else {
            CloseHandle(readEnd);
        }
        if (started) {
            WaitForSingleObject(process.hProcess, INFINITE);
            Finish(process);
        }
        return started && output;
    }

    int Run(const std::string& program, const std::vector<std::string>& arguments, uint32_t limitMs) override
    {
        PROCESS_INFORMATION process{};
        if (!Start(program, arguments, nullptr, process)) return -1;
        if (WaitForSingleObject(process.hProcess, limitMs) == WAIT_OBJECT_0) return Finish(process);
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, INFINITE);
        Finish(process);
        return ChildStopped;
    }
};

} // namespace

ChildProcesses& SystemChildProcesses()
{
    static WindowsChildProcesses processes;
    return processes;
}

std::string ProgramFileName(const char* base) { return std::string(base) + ".exe"; }

char PathSeparator() { return '\\'; }

bool FileExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ProgramFolder()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) return "";
    const std::string program(path, length);
    return program.substr(0, program.find_last_of("\\/") + 1);
}
