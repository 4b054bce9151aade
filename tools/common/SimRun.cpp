#include "SimRun.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>

#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnStop(int) { g_stop = 1; }

} // namespace

double NowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

void SleepMs(double ms)
{
    if (ms <= 0) return;
    timespec wait = ToTimespec(ms);
    while (!g_stop && nanosleep(&wait, &wait) != 0 && errno == EINTR) {
    }
}

timespec ToTimespec(double ms)
{
    const auto ns = ms > 0 ? static_cast<long long>(ms * 1e6) : 0LL;
    return timespec{static_cast<time_t>(ns / 1000000000LL), static_cast<long>(ns % 1000000000LL)};
}

bool StopRequested() { return g_stop != 0; }

void RequestStop() { g_stop = 1; }

bool LinkPty(const Pty& pty, const std::string& linkPath)
{
    if (linkPath.empty()) return true;
    unlink(linkPath.c_str());
    return symlink(pty.Path().c_str(), linkPath.c_str()) == 0;
}

int RunOnPty(const char* tool, speed_t speed, const std::string& linkPath, const std::function<void(Pty&)>& run)
{
    struct sigaction stop{};
    stop.sa_handler = OnStop;
    sigemptyset(&stop.sa_mask);
    sigaction(SIGTERM, &stop, nullptr);
    sigaction(SIGINT, &stop, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    Pty pty;
    if (!pty.Create(speed)) {
        std::fprintf(stderr, "%s: no pseudo-terminal\n", tool);
        return 1;
    }
    if (!LinkPty(pty, linkPath)) {
        std::fprintf(stderr, "%s: cannot link %s\n", tool, linkPath.c_str());
        return 1;
    }
    std::printf("%s\n", pty.Path().c_str());
    std::fflush(stdout);
    run(pty);
    if (!linkPath.empty()) unlink(linkPath.c_str());
    return 0;
}
