#include "BoardChaos.h"

using namespace board_chaos;

namespace {

constexpr const char* KindNames[Kinds] = {"silent", "garbage", "echo",  "split",   "slow",
                                          "late",   "short",   "overlong", "chatter", "disconnect"};

void Apply(int fault, SimOptions& live)
{
    switch (fault) {
    case Silent:
        live.silent = true;
        break;
    case Garbage:
        live.garbageBytes = 16;
        break;
    case Echo:
        live.echo = true;
        break;
    case Split:
        live.splitBytes = 1;
        live.splitPauseMs = 20;
        break;
    case Slow:
        live.slowMs = 40;
        break;
    case Late:
        live.slowMs = 250;
        break;
    default: // the simulator's own doing
        break;
    }
}

} // namespace

ChaosOptions<SimOptions> BoardChaos(const SimOptions& options)
{
    return {options, options.chaosSeed, options.chaosSpeed, Kinds, KindNames, Apply};
}
