#include "platform/ChildProcess.h"

#include <windows.h>

#include <cstdio>
#include <process.h>

namespace {

// An argument as the C runtime's spawn hands it on: quoted when it holds a
// blank, since the runtime joins the arguments with blanks.
std::string Quoted(const std::string& text)
{
    if (text.find_first_of(" \t") == std::string::npos) return text;
    std::string quoted(1, '"');
    quoted.append(text).push_back('"');
    return quoted;
}

class WindowsChildProcesses final : public ChildProcesses {
public:
    bool ReadOutput(const std::string& program, std::vector<std::string>& lines) override
    {
        lines.clear();
        if (!FileExists(program)) return false;
        // cmd.exe /c drops the outer quotes of a line that starts with one.
        std::string command(1, '"');
        command.append(Quoted(program)).push_back('"');
        std::FILE* output = _popen(command.c_str(), "rt");
        if (!output) return false;
        ReadLines(output, lines);
        _pclose(output);
        return true;
    }

    int Run(const std::string& program, const std::vector<std::string>& arguments) override
    {
        std::vector<std::string> quoted;
        for (const std::string& a : arguments) quoted.push_back(Quoted(a));
        std::vector<const char*> argv;
        for (const std::string& a : quoted) argv.push_back(a.c_str());
        argv.push_back(nullptr);
        const intptr_t status = _spawnv(_P_WAIT, program.c_str(), argv.data());
        return status == -1 ? -1 : static_cast<int>(status);
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
