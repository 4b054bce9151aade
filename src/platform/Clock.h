#pragma once

#include "platform/SerialPort.h"

#include <cstdint>

// Milliseconds, sleeping and waiting for a serial port's input. Every wait
// of the program (reply time-outs, frame pauses, the link-idle wait) goes
// through this clock, so a test can put a fake one in place where real
// waiting would only make it slow.
class Clock {
public:
    // A GetTickCount64-style counter: milliseconds since an arbitrary start.
    virtual uint64_t Milliseconds() = 0;
    virtual void Sleep(uint32_t ms) = 0;
    // Sleeps until the open port has a byte to read, at most ms; true when
    // one is there (the system's clock: SerialWaitInput).
    virtual bool WaitForInput(SerialHandle port, uint32_t ms) = 0;

protected:
    ~Clock() = default;
};

// The system's clock (GetTickCount64 and Sleep on Windows, the monotonic
// clock and nanosleep elsewhere).
Clock& SystemClock();

// The clock in use: the system's unless one was put in place.
Clock& ActiveClock();

// Puts a clock in place (nullptr = the system's again) and returns the one
// it replaces.
Clock* UseClock(Clock* clock);
