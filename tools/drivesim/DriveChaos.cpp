#include "DriveChaos.h"

using namespace drive_chaos;

namespace {

constexpr const char* KindNames[Kinds] = {"silent", "bad-crc", "reserved", "overlong",  "short",
                                          "split",  "late",    "chatter",  "disconnect"};
constexpr int LateMs = 300;

void Apply(int fault, DriveOptions& live)
{
    constexpr DriveFault Replies[] = {DriveFault::None, DriveFault::BadCrc, DriveFault::Reserved, DriveFault::Overlong,
                                      DriveFault::Short};
    if (fault == Silent) live.silent = true;
    if (fault >= BadCrc && fault <= Short) {
        live.fault = Replies[fault];
        live.faults = -1;
    }
    if (fault == Split) live.splitPauseMs = 2;
    if (fault == Late) {
        live.lateParam = EveryParam;
        live.lateMs = LateMs;
        live.lateEvery = true;
    }
}

} // namespace

ChaosOptions<DriveOptions> DriveChaos(const DriveOptions& options)
{
    return {options, options.chaosSeed, options.chaosSpeed, Kinds, KindNames, Apply};
}
