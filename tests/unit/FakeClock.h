#pragma once

#include "platform/Clock.h"

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

// A clock that moves only when read (by a fixed step), slept on or waited
// on, and remembers every sleep; each sleep runs onSleep, so that something
// can change while the program waits. A wait for input that finds none
// passes whole at once and is remembered. Put in place for the life of the
// object.
class FakeClock final : public Clock {
public:
    explicit FakeClock(uint64_t stepPerRead = 0) : step_(stepPerRead), previous_(UseClock(this)) {}
    ~FakeClock() { UseClock(previous_); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    uint64_t Milliseconds() override { return std::exchange(now_, now_ + step_); }
    void Sleep(uint32_t ms) override
    {
        now_ += ms;
        sleeps_.push_back(ms);
        if (onSleep) onSleep();
    }
    bool WaitForInput(SerialHandle port, uint32_t ms) override
    {
        if (SerialWaitInput(port, 0)) return true;
        now_ += ms;
        waits_.push_back(ms);
        return false;
    }
    uint64_t Now() const { return now_; }
    void SetStep(uint64_t stepPerRead) { step_ = stepPerRead; }
    const std::vector<uint32_t>& Sleeps() const { return sleeps_; }
    const std::vector<uint32_t>& Waits() const { return waits_; }
    std::function<void()> onSleep;

private:
    uint64_t step_;
    Clock* previous_;
    uint64_t now_ = 1000;
    std::vector<uint32_t> sleeps_, waits_;
};
