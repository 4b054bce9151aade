#include "platform/ChildProcess.h"

#include <cerrno>
#include <cstdio>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

class PosixChildProcesses final : public ChildProcesses {
public:
    bool ReadOutput(const std::string& program, std::vector<std::string>& lines) override
    {
        lines.clear();
        // The shell of popen would start anything; a program that is not
        // there is told apart here.
        if (access(program.c_str(), X_OK) != 0) return false;
        const std::string command = "'" + program + "'";
        std::FILE* output = popen(command.c_str(), "r");
        if (!output) return false;
        ReadLines(output, lines);
        pclose(output);
        return true;
    }

    int Run(const std::string& program, const std::vector<std::string>& arguments) override
    {
        std::vector<char*> argv;
        for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        pid_t child;
        if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
        int status = 0;
        while (waitpid(child, &status, 0) < 0) {
            if (errno != EINTR) return -1;
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

} // namespace

ChildProcesses& SystemChildProcesses()
{
    static PosixChildProcesses processes;
    return processes;
}

std::string ProgramFileName(const char* base) { return base; }

char PathSeparator() { return '/'; }

bool FileExists(const std::string& path)
{
    struct stat facts;
    return stat(path.c_str(), &facts) == 0 && S_ISREG(facts.st_mode);
}

std::string ProgramFolder()
{
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "";
    const std::string program(path, static_cast<std::size_t>(length));
    return program.substr(0, program.rfind('/') + 1);
}
