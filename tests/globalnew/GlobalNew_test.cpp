#include "exec/Memory.h"
#include "exec/RuntimeFlags.h"

#include "ExecRuntime.h"

#include <vector>

using GlobalNew = ExecRuntime;

// Objects made before the pools, or too big for them, come from the host; one that outlives the
// pools is a reported leak whose late release is harmless. While the pools are up, results are
// noted in plain variables and checked afterwards, so that no other block outlives them.
TEST_F(GlobalNew, ObjectsComeFromMainRamWhileThePoolsAreUp)
{
    auto* early = new std::vector<int>(1000, 7);
    ASSERT_TRUE(Start(ExecFlagMemoryLock));
    const bool earlyInPool = PoolOwns(early->data());
    delete early;
    const std::size_t before = MainRamFree();
    int* numbers = new int[100];
    const bool inPool = PoolOwns(numbers);
    const std::size_t taken = before - MainRamFree();
    delete[] numbers;
    const std::size_t after = MainRamFree();
    char* big = new char[8u << 20]; // more than the pool holds
    const bool bigInPool = PoolOwns(big);
    delete[] big;
    auto* survivor = new std::vector<int>(100, 3);
    Stop();

    EXPECT_TRUE(inPool && !earlyInPool && !bigInPool);
    EXPECT_EQ(taken, 416u);
    EXPECT_EQ(after, before);
    EXPECT_TRUE(LogHas("AllocMem: Could not allocate memory\r\n"));
    EXPECT_NE(Log().find("Memory still allocated on release"), std::string::npos) << Log();
    EXPECT_TRUE(PoolOwns(survivor->data()) && (*survivor)[99] == 3) << "the pool keeps its memory";
    delete survivor; // must not reach the host heap
    auto* late = new int(6);
    EXPECT_FALSE(PoolOwns(late));
    delete late;
}
