#include "platform/Clock.h"

namespace {
Clock* g_clock = nullptr;
}

Clock& ActiveClock() { return g_clock ? *g_clock : SystemClock(); }

Clock* UseClock(Clock* clock)
{
    Clock* previous = g_clock;
    g_clock = clock;
    return previous;
}
