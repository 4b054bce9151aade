#pragma once

#include <cstdint>
#include <memory>
#include <random>

// The schedule of a simulator's chaos mode (--chaos SEED): good periods of
// 3 to 25 seconds between faults of 1 to 8 seconds, each fault of a kind
// drawn from the simulator's list, all from a seeded generator, so that the
// same seed gives the same schedule. `speed` divides every period (a test
// runs the schedule faster).
class ChaosSchedule {
public:
    ChaosSchedule(uint32_t seed, int kinds, double speed = 1.0);
    // Moves the schedule on to the time, in milliseconds from the start;
    // true when a fault ended or began, which Ended() and Began() then tell
    // (-1: none).
    bool Follow(double ms);
    int Fault() const { return fault_; } // the fault in force, -1: none
    int Ended() const { return ended_; }
    int Began() const { return began_; }
    double End() const { return end_; } // when the period in force ends

private:
    double Between(double lowMs, double highMs);

    std::mt19937 random_;
    int kinds_;
    double speed_;
    int fault_ = -1, ended_ = -1, began_ = -1;
    double end_ = -1;
};

// A simulator's options as they are while each fault of its chaos is in
// force: the options it was started with, changed by `apply` for the fault.
// Without --chaos (a negative seed) there is no schedule and no fault.
template <typename Options>
class ChaosOptions {
public:
    using Apply = void (*)(int fault, Options& live);

    ChaosOptions(const Options& options, int seed, int speed, int kinds, const char* const* names, Apply apply)
        : options_(options), live_(options), names_(names), kinds_(kinds), apply_(apply)
    {
        if (seed >= 0) schedule_ = std::make_unique<ChaosSchedule>(static_cast<uint32_t>(seed), kinds, speed);
    }
    bool On() const { return schedule_ != nullptr; }
    const char* Name(int kind) const { return kind >= 0 && kind < kinds_ ? names_[kind] : ""; }

    // Moves the schedule on to the time; true when a fault ended or began,
    // which Ended() and Began() then tell (-1: none).
    bool Follow(double ms)
    {
        if (!schedule_ || !schedule_->Follow(ms)) return false;
        live_ = options_;
        apply_(Fault(), live_);
        return true;
    }
    int Ended() const { return schedule_->Ended(); }
    int Began() const { return schedule_->Began(); }
    int Fault() const { return schedule_ ? schedule_->Fault() : -1; }
    double NextChange() const { return schedule_->End(); }
    // The options to answer by now.
    const Options& Live() const { return live_; }

private:
    const Options& options_;
    Options live_;
    const char* const* names_;
    int kinds_;
    Apply apply_;
    std::unique_ptr<ChaosSchedule> schedule_;
};
