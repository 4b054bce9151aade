#include "platform/TimerClock.h"

#include <windows.h>
#include <timeapi.h>

bool QueryCounterFrequency(int64_t* ticksPerSecond)
{
    LARGE_INTEGER frequency;
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart == 0) return false;
    *ticksPerSecond = frequency.QuadPart;
    return true;
}

int64_t ReadCounter()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void BeginTimerPeriod(unsigned milliseconds) { timeBeginPeriod(milliseconds); }
void EndTimerPeriod(unsigned milliseconds) { timeEndPeriod(milliseconds); }
