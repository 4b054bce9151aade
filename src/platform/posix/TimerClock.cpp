#include "platform/TimerClock.h"

#include <ctime>

// The monotonic clock in nanoseconds stands for the counter.
bool QueryCounterFrequency(int64_t* ticksPerSecond)
{
    timespec resolution{};
    if (clock_getres(CLOCK_MONOTONIC, &resolution) != 0) return false;
    *ticksPerSecond = 1000000000LL;
    return true;
}

int64_t ReadCounter()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

void BeginTimerPeriod(unsigned) {}
void EndTimerPeriod(unsigned) {}
