#include "Chaos.h"

namespace {

constexpr double GoodLowMs = 3000, GoodHighMs = 25000;
constexpr double FaultLowMs = 1000, FaultHighMs = 8000;

} // namespace

ChaosSchedule::ChaosSchedule(uint32_t seed, int kinds, double speed) : random_(seed), kinds_(kinds), speed_(speed) {}

double ChaosSchedule::Between(double lowMs, double highMs)
{
    return std::uniform_real_distribution<double>(lowMs, highMs)(random_) / speed_;
}

bool ChaosSchedule::Follow(double ms)
{
    if (end_ < 0) end_ = ms + Between(GoodLowMs, GoodHighMs); // a good start
    if (ms < end_) return false;
    ended_ = fault_;
    // A late look passes whole periods; what was in force meanwhile counts as not seen.
    while (ms >= end_) {
        fault_ = fault_ < 0 ? std::uniform_int_distribution<int>(0, kinds_ - 1)(random_) : -1;
        end_ += fault_ < 0 ? Between(GoodLowMs, GoodHighMs) : Between(FaultLowMs, FaultHighMs);
    }
    began_ = fault_;
    return true;
}
