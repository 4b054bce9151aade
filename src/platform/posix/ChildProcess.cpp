#include "platform/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::vector<char*> ArgumentVector(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    return argv;
}

// The child's exit status once it has ended; -1 when it did not exit.
int Reap(pid_t child)
{
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
        if (errno != EINTR) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Whether the child ended within the limit; it waits in the kernel.
bool EndsWithin(pid_t child, uint32_t limitMs)
{
    const int watch = static_cast<int>(syscall(SYS_pidfd_open, child, 0));
    if (watch < 0) return true; // a kernel without process descriptors: waited for without a limit
    pollfd ready{watch, POLLIN, 0};
    int polled;
    while ((polled = poll(&ready, 1, static_cast<int>(limitMs))) < 0 && errno == EINTR) {
    }
    close(watch);
    return polled != 0;
}

class PosixChildProcesses final : public ChildProcesses {
public:
    bool ReadOutput(const std::string& program, std::vector<std::string>& lines) override
    {
        lines.clear();
        if (access(program.c_str(), X_OK) != 0) return false;
        int pipeEnds[2];
        if (pipe2(pipeEnds, O_CLOEXEC) != 0) return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        const std::vector<std::string> arguments{program};
        pid_t child;
        const bool started =
            posix_spawn(&child, program.c_str(), &actions, nullptr, ArgumentVector(arguments).data(), environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[1]);
        std::FILE* output = fdopen(pipeEnds[0], "r");
        if (!output) close(pipeEnds[0]);
        if (output) {
            ReadLines(output, lines);
            std::fclose(output);
        }
        if (started) Reap(child);
        return started && output;
    }

    int Run(const std::string& program, const std::vector<std::string>& arguments, uint32_t limitMs) override
    {
        pid_t child;
        if (posix_spawn(&child, program.c_str(), nullptr, nullptr, ArgumentVector(arguments).data(), environ) != 0)
            return -1;
        if (EndsWithin(child, limitMs)) return Reap(child);
        kill(child, SIGKILL);
        Reap(child);
        return ChildStopped;
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
