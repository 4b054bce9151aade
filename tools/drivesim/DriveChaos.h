#pragma once

#include "Chaos.h"
#include "DriveOptions.h"

#include <memory>

// drivesim --chaos SEED: the drive's faults, one at a time between good
// periods on the seeded schedule. While a fault is in force every reply is
// that of the fault: none, a bad check, the reserved status, a byte too
// many or too few, written a byte at a time, or answered 300 ms late (beyond
// the read time-out); or the line chatters, or the port is gone (the
// adapter unplugged) until it comes back on the same link.
class DriveChaos {
public:
    enum Kind { Silent, BadCrc, Reserved, Overlong, Short, Split, Late, Chatter, Disconnect, Kinds };

    explicit DriveChaos(const DriveOptions& options);
    bool On() const { return schedule_ != nullptr; }
    static const char* Name(int kind);

    // Moves the schedule on to the time; true when a fault ended or began,
    // which Ended() and Began() then tell (-1: none).
    bool Follow(double ms);
    int Ended() const { return schedule_->Ended(); }
    int Began() const { return schedule_->Began(); }
    int Fault() const { return schedule_ ? schedule_->Fault() : -1; }
    double NextChange() const { return schedule_->End(); }

    // The options the drive answers by now.
    const DriveOptions& Live() const { return live_; }

private:
    const DriveOptions& options_;
    std::unique_ptr<ChaosSchedule> schedule_;
    DriveOptions live_;
};
