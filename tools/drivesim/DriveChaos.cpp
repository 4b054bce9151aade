#include "DriveChaos.h"

namespace {

constexpr const char* KindNames[DriveChaos::Kinds] = {"silent", "bad-crc", "reserved", "overlong",  "short",
                                                     "split",  "late",    "chatter",  "disconnect"};
constexpr int LateMs = 300;

} // namespace

DriveChaos::DriveChaos(const DriveOptions& options) : options_(options), live_(options)
{
    if (options.chaosSeed >= 0)
        schedule_ = std::make_unique<ChaosSchedule>(static_cast<uint32_t>(options.chaosSeed), Kinds, options.chaosSpeed);
}

const char* DriveChaos::Name(int kind) { return kind >= 0 && kind < Kinds ? KindNames[kind] : ""; }

bool DriveChaos::Follow(double ms)
{
    if (!schedule_ || !schedule_->Follow(ms)) return false;
    live_ = options_;
    const auto misbehave = [this](DriveFault fault) {
        live_.fault = fault;
        live_.faults = -1;
    };
    switch (Fault()) {
    case Silent:
        live_.silent = true;
        break;
    case BadCrc:
        misbehave(DriveFault::BadCrc);
        break;
    case Reserved:
        misbehave(DriveFault::Reserved);
        break;
    case Overlong:
        misbehave(DriveFault::Overlong);
        break;
    case Short:
        misbehave(DriveFault::Short);
        break;
    case Split:
        live_.splitPauseMs = 2;
        break;
    case Late:
        live_.lateParam = EveryParam;
        live_.lateMs = LateMs;
        live_.lateEvery = true;
        break;
    default:
        break;
    }
    return true;
}
