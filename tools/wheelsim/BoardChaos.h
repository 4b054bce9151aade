#pragma once

#include "Chaos.h"
#include "SimOptions.h"

// wheelsim --chaos SEED: the board's faults, one at a time between good
// periods on the seeded schedule. While a fault is in force the board
// answers by the fault's options: silent, a burst of garbage and noise
// before each probe's answer, echo, answers split into single bytes, slow
// answers (within the reply time-out), late ones (beyond it); or it answers
// a byte short or a byte long, chatters without end, or its port is gone
// (the board unplugged) until it comes back on the same link.
namespace board_chaos {
enum Kind { Silent, Garbage, Echo, Split, Slow, Late, Short, Overlong, Chatter, Disconnect, Kinds };
}

ChaosOptions<SimOptions> BoardChaos(const SimOptions& options);
