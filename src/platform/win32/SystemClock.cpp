#include "platform/Clock.h"

#include <windows.h>

namespace {

class TickClock final : public Clock {
public:
    uint64_t Milliseconds() override { return GetTickCount64(); }
    void Sleep(uint32_t ms) override { ::Sleep(ms); }
    bool WaitForInput(SerialHandle port, uint32_t ms) override { return SerialWaitInput(port, ms); }
};

} // namespace

Clock& SystemClock()
{
    static TickClock clock;
    return clock;
}
