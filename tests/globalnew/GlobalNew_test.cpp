#include "exec/Memory.h"
#include "exec/RuntimeFlags.h"

#include "ExecRuntime.h"

#include <memory>
#include <vector>

// Between Start and Stop nothing here may keep a block that outlives the
// pools, so results are noted in plain variables and checked afterwards.

namespace {
class GlobalNew : public ExecRuntime {};
} // namespace

TEST_F(GlobalNew, ObjectsMadeWhileThePoolsAreUpComeFromMainRam)
{
    ASSERT_TRUE(Start(ExecFlagMemoryLock));
    const std::size_t before = MainRamFree();
    int* numbers = new int[100];
    const bool inPool = PoolOwns(numbers);
    const std::size_t taken = before - MainRamFree();
    delete[] numbers;
    const std::size_t after = MainRamFree();
    {
        std::vector<std::unique_ptr<int>> many;
        for (int i = 0; i < 1000; ++i) many.push_back(std::make_unique<int>(i));
    }
    const std::size_t afterVector = MainRamFree();
    Stop();

    EXPECT_TRUE(inPool);
    EXPECT_EQ(taken, MemBlockSize(400));
    EXPECT_EQ(after, before);
    EXPECT_EQ(afterVector, before);
    EXPECT_TRUE(LogHas("No memory leaks, no problem\r\n")) << Log();
}

TEST_F(GlobalNew, ObjectsMadeBeforeThePoolsSurviveTheirRelease)
{
    auto* early = new std::vector<int>(1000, 7);
    ASSERT_TRUE(Start());
    const bool earlyInPool = PoolOwns(early->data());
    delete early;
    auto* late = new int(5);
    const bool lateInPool = PoolOwns(late);
    delete late;
    Stop();
    auto* after = new int(6);
    EXPECT_FALSE(PoolOwns(after));
    delete after;

    EXPECT_FALSE(earlyInPool);
    EXPECT_TRUE(lateInPool);
    EXPECT_TRUE(LogHas("No memory leaks, no problem\r\n")) << Log();
}

TEST_F(GlobalNew, FullPoolFallsBackToTheHostHeap)
{
    ASSERT_TRUE(Start());
    char* big = new char[8u << 20];
    const bool inPool = PoolOwns(big);
    big[0] = 1;
    delete[] big;
    Stop();

    EXPECT_FALSE(inPool);
    EXPECT_TRUE(LogHas("AllocMem: Could not allocate memory\r\n"));
}

TEST_F(GlobalNew, ObjectsThatOutliveThePoolsAreReleasedHarmlessly)
{
    ASSERT_TRUE(Start());
    auto* survivor = new std::vector<int>(100, 3);
    Stop();
    // The leak is reported, and the pool keeps its memory for the late release.
    EXPECT_NE(Log().find("Memory still allocated on release"), std::string::npos) << Log();
    EXPECT_TRUE(PoolOwns(survivor->data()));
    EXPECT_EQ((*survivor)[99], 3);
    delete survivor; // must not reach the host heap
    auto* fresh = new int(9);
    EXPECT_FALSE(PoolOwns(fresh));
    delete fresh;
}
