// The simulators' chaos mode: faults on a seeded schedule, the same for the
// same seed, one at a time with a good period between two, every kind many
// times an hour, each started and ended in the simulator's log, and an
// unplugged port back on its link when its fault ends.
#include "Chaos.h"
#include "support/SimProcess.h"
#include "unit/TempDir.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <thread>

TEST(ChaosSchedule, AnHourHoldsEveryKindAtLeastTenTimesOneAtATimeTheSameForTheSameSeed)
{
    constexpr int Kinds = 10;
    for (const uint32_t seed : {1u, 2u, 3u}) {
        ChaosSchedule schedule(seed, Kinds), again(seed, Kinds);
        std::map<int, int> begun;
        for (double ms = 0; ms < 3600000; ms += 10) {
            const bool changed = schedule.Follow(ms), changedAgain = again.Follow(ms);
            ASSERT_EQ(std::pair(changed, schedule.Fault()), std::pair(changedAgain, again.Fault())) << ms;
            if (!changed) continue;
            ASSERT_TRUE(schedule.Ended() < 0 || schedule.Began() < 0) << "a good period between two faults, at " << ms;
            if (schedule.Began() >= 0) ++begun[schedule.Began()];
        }
        for (int kind = 0; kind < Kinds; ++kind) EXPECT_GE(begun[kind], 10) << "seed " << seed << ", kind " << kind;
    }
}

TEST(SimulatorChaos, FaultsAreLoggedOneAtATimeAndAnUnpluggedPortComesBackOnItsLink)
{
    TempDir dir;
    for (const bool drive : {false, true}) {
        // Fifty times faster: faults of 20 to 160 ms between good periods of 60 to 500 ms; the seed unplugs the port.
        const std::vector<std::string> options = {"--chaos", "4", "--chaos-speed", "50"};
        std::unique_ptr<SimProcess> sim;
        if (drive) sim = std::make_unique<DriveSim>(dir.path(), 1, options);
        else sim = std::make_unique<WheelSim>(dir.path(), 2, options);
        std::this_thread::sleep_for(std::chrono::seconds(3));
        int faults = 0, disconnects = 0;
        std::string open;
        for (const std::string& line : sim->LogLinesWith("\"event\":\"fault\"")) {
            const std::size_t at = line.find("\"kind\":\"") + 8;
            const std::string kind = line.substr(at, line.find('"', at) - at);
            const bool start = line.find("\"phase\":\"start\"") != std::string::npos;
            EXPECT_EQ(open, start ? "" : kind) << "one fault at a time: " << line;
            open = start ? kind : "";
            faults += start;
            disconnects += !start && kind == "disconnect";
        }
        EXPECT_GE(faults, 4) << drive;
        EXPECT_GE(disconnects, 1) << drive;
        EXPECT_EQ(static_cast<int>(sim->LogLinesWith("\"event\":\"return\"").size()), disconnects) << drive;
        EXPECT_TRUE(open == "disconnect" || std::filesystem::is_symlink(dir.path() / (drive ? "com1" : "com2")))
            << "back on its link";
    }
}
