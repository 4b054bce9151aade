#pragma once

#include <cstdint>

// The high-resolution counter: false when the machine has none.
bool QueryCounterFrequency(int64_t* ticksPerSecond);
int64_t ReadCounter();

// The system timer period (timeBeginPeriod / timeEndPeriod on Windows).
// Elsewhere timers already have a fine period and these do nothing.
void BeginTimerPeriod(unsigned milliseconds);
void EndTimerPeriod(unsigned milliseconds);
