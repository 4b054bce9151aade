#pragma once

#include "Chaos.h"
#include "DriveOptions.h"

// drivesim --chaos SEED: the drive's faults, one at a time between good
// periods on the seeded schedule. While a fault is in force every reply is
// that of the fault: none, a bad check, the reserved status, a byte too
// many or too few, written a byte at a time, or answered 300 ms late (beyond
// the read time-out); or the line chatters, or the port is gone (the
// adapter unplugged) until it comes back on the same link.
namespace drive_chaos {
enum Kind { Silent, BadCrc, Reserved, Overlong, Short, Split, Late, Chatter, Disconnect, Kinds };
}

ChaosOptions<DriveOptions> DriveChaos(const DriveOptions& options);
