#include "BoardChaos.h"

namespace {

constexpr const char* KindNames[BoardChaos::Kinds] = {"silent", "garbage", "echo",     "split",   "slow",
                                                     "late",   "short",   "overlong", "chatter", "disconnect"};

} // namespace

BoardChaos::BoardChaos(const SimOptions& options) : options_(options), live_(options)
{
    if (options.chaosSeed >= 0)
        schedule_ = std::make_unique<ChaosSchedule>(static_cast<uint32_t>(options.chaosSeed), Kinds, options.chaosSpeed);
}

const char* BoardChaos::Name(int kind) { return kind >= 0 && kind < Kinds ? KindNames[kind] : ""; }

bool BoardChaos::Follow(double ms)
{
    if (!schedule_ || !schedule_->Follow(ms)) return false;
    live_ = options_;
    switch (Fault()) {
    case Silent:
        live_.silent = true;
        break;
    case Garbage:
        live_.garbageBytes = 16;
        break;
    case Echo:
        live_.echo = true;
        break;
    case Split:
        live_.splitBytes = 1;
        live_.splitPauseMs = 20;
        break;
    case Slow:
        live_.slowMs = 40;
        break;
    case Late:
        live_.slowMs = 250;
        break;
    default:
        break;
    }
    return true;
}
