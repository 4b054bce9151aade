#include "platform/Clock.h"

#include <cerrno>
#include <ctime>

namespace {

class MonotonicClock final : public Clock {
public:
    uint64_t Milliseconds() override
    {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec / 1000000);
    }
    void Sleep(uint32_t ms) override
    {
        timespec wait{static_cast<time_t>(ms / 1000u), static_cast<long>(ms % 1000u) * 1000000L};
        while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
        }
    }
    bool WaitForInput(SerialHandle port, uint32_t ms) override { return SerialWaitInput(port, ms); }
};

} // namespace

Clock& SystemClock()
{
    static MonotonicClock clock;
    return clock;
}
