#include "platform/Clock.h"

#include "platform/SeamSlot.h"

namespace {
SeamSlot<Clock> g_slot;
}

Clock& ActiveClock() { return g_slot.Or(SystemClock()); }

Clock* UseClock(Clock* seam) { return g_slot.Replace(seam); }
