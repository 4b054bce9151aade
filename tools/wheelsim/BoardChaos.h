#pragma once

#include "Chaos.h"
#include "SimOptions.h"

#include <memory>

// wheelsim --chaos SEED: the board's faults, one at a time between good
// periods on the seeded schedule. While a fault is in force the options the
// board answers by are those of the fault: silent, a burst of garbage and
// noise before each probe's answer, echo, answers split into single bytes,
// slow answers (within the reply time-out), late ones (beyond it), answers a
// byte short or a byte long, endless chatter, or the port gone (the board
// unplugged) until it comes back on the same link.
class BoardChaos {
public:
    enum Kind { Silent, Garbage, Echo, Split, Slow, Late, Short, Overlong, Chatter, Disconnect, Kinds };

    explicit BoardChaos(const SimOptions& options);
    bool On() const { return schedule_ != nullptr; }
    static const char* Name(int kind);

    // Moves the schedule on to the time; true when a fault ended or began,
    // which Ended() and Began() then tell (-1: none).
    bool Follow(double ms);
    int Ended() const { return schedule_->Ended(); }
    int Began() const { return schedule_->Began(); }
    int Fault() const { return schedule_ ? schedule_->Fault() : -1; }

    // The options the board answers by now.
    const SimOptions& Live() const { return live_; }
    // Bytes left off the end of an answer, noise bytes added to it.
    int ShortBy() const { return Fault() == Short ? 1 : 0; }
    int Extra() const { return Fault() == Overlong ? 1 : 0; }

private:
    const SimOptions& options_;
    std::unique_ptr<ChaosSchedule> schedule_;
    SimOptions live_;
};
