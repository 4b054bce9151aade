#pragma once

#include <cstdint>
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
