// The simulators' chaos mode: faults on a seeded schedule, one at a time
// with a good period between two, every kind many times an hour, each
// started and ended in the simulator's log in the same order for the same
// seed, and an unplugged port back on its link when its fault ends.
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

TEST(SimulatorChaos, FaultsAreLoggedInTheSeedsOrderAndAnUnpluggedPortComesBack)
{
    TempDir dir;
    for (const bool drive : {false, true}) {
        std::vector<std::string> runs[2];
        for (int run = 0; run < 2; ++run) {
            // A hundred times faster: faults of 10 to 80 ms between good periods of 30 to 250 ms.
            const std::vector<std::string> options = {"--chaos", "4", "--chaos-speed", "100"};
            const int com = 2 * run + (drive ? 1 : 2);
            std::unique_ptr<SimProcess> sim;
            if (drive) sim = std::make_unique<DriveSim>(dir.path(), com, options);
            else sim = std::make_unique<WheelSim>(dir.path(), com, options);
            std::this_thread::sleep_for(std::chrono::seconds(3));
            int disconnects = 0;
            std::string open;
            for (const std::string& line : sim->LogLinesWith("\"event\":\"fault\"")) {
                const std::string kind = line.substr(line.find("\"kind\":") + 8, line.find("\",\"phase") - line.find("\"kind\":") - 8);
                const bool start = line.find("\"phase\":\"start\"") != std::string::npos;
                EXPECT_EQ(open, start ? "" : kind) << "one fault at a time: " << line;
                open = start ? kind : "";
                if (start) runs[run].push_back(kind);
                disconnects += !start && kind == "disconnect";
            }
            EXPECT_EQ(static_cast<int>(sim->LogLinesWith("\"event\":\"return\"").size()), disconnects) << drive;
            EXPECT_TRUE(disconnects == 0 || std::filesystem::is_symlink(dir.path() / ("com" + std::to_string(com))) ||
                        open == "disconnect") << "back on its link";
        }
        const std::size_t common = std::min(runs[0].size(), runs[1].size());
        EXPECT_GE(common, 6u) << drive;
        EXPECT_EQ(std::vector(runs[0].begin(), runs[0].begin() + common), std::vector(runs[1].begin(), runs[1].begin() + common));
        EXPECT_NE(std::find(runs[0].begin(), runs[0].end(), "disconnect"), runs[0].end()) << "the seed unplugs it";
    }
}
