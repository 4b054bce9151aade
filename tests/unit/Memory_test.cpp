#include "exec/MemCheck.h"
#include "exec/Memory.h"
#include "exec/RuntimeFlags.h"

#include "ExecRuntime.h"

#include <cstring>
#include <thread>
#include <vector>

namespace {

class MemoryPools : public ExecRuntime {};

unsigned char* Bytes(void* p) { return static_cast<unsigned char*>(p); }

} // namespace

TEST_F(MemoryPools, OneByteTakesTheSmallestBlock)
{
    ASSERT_TRUE(Start());
    const std::size_t before = MainRamFree();
    void* p = AllocMem(MemMainRam, 1);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(before - MainRamFree(), MemBlockMinimum);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 16, 0u);
    FreeMem(p);
    EXPECT_EQ(MainRamFree(), before);
}

TEST_F(MemoryPools, NeighboursCoalesceWhicheverIsReleasedFirst)
{
    ASSERT_TRUE(Start());
    for (bool lowFirst : {true, false}) {
        const std::size_t before = MainRamFree();
        void* a = AllocMem(MemMainRam, 100);
        void* b = AllocMem(MemMainRam, 100);
        void* c = AllocMem(MemMainRam, 100); // keeps b apart from the rest of the pool
        const std::size_t block = MemBlockSize(100);
        EXPECT_EQ(before - MainRamFree(), 3 * block);
        EXPECT_EQ(Bytes(b) - Bytes(a), static_cast<std::ptrdiff_t>(block)) << "first fit in address order";
        FreeMem(lowFirst ? a : b);
        FreeMem(lowFirst ? b : a);
        EXPECT_EQ(before - MainRamFree(), block);
        // One free chunk now spans both blocks: a request for both fits at a.
        void* both = AllocMem(MemMainRam, 2 * block - MemBlockHeader);
        EXPECT_EQ(both, a);
        FreeMem(both);
        FreeMem(c);
        EXPECT_EQ(MainRamFree(), before);
    }
}

TEST_F(MemoryPools, ReleaseInTheMiddleMergesWithBothSides)
{
    ASSERT_TRUE(Start());
    const std::size_t before = MainRamFree();
    void* a = AllocMem(MemMainRam, 40);
    void* b = AllocMem(MemMainRam, 40);
    void* c = AllocMem(MemMainRam, 40);
    void* d = AllocMem(MemMainRam, 40);
    FreeMem(a);
    FreeMem(c);
    FreeMem(b);
    EXPECT_EQ(before - MainRamFree(), MemBlockSize(40));
    EXPECT_EQ(AllocMem(MemMainRam, 3 * MemBlockSize(40) - MemBlockHeader), a);
    FreeMem(a);
    FreeMem(d);
    EXPECT_EQ(MainRamFree(), before);
}

TEST_F(MemoryPools, GuardGapsAreCountedAndGivenBack)
{
    ASSERT_TRUE(Start(ExecFlagGuards));
    const std::size_t before = MainRamFree();
    void* a = AllocMem(MemMainRam, 20);
    void* b = AllocMem(MemMainRam, 20);
    EXPECT_EQ(before - MainRamFree(), 2 * (MemBlockSize(20) + MemGuardGap));
    EXPECT_EQ(std::memcmp(Bytes(a) - MemBlockHeader - 4, "UVWX", 4), 0);
    EXPECT_EQ(std::memcmp(Bytes(a) - MemBlockHeader + MemBlockSize(20), "UVWX", 4), 0);
    FreeMem(b);
    FreeMem(a);
    EXPECT_EQ(MainRamFree(), before);
}

TEST_F(MemoryPools, OverwrittenEndGuardIsReportedAndTheBlockKept)
{
    ASSERT_TRUE(Start(ExecFlagGuards));
    void* p = AllocMem(MemMainRam, 20);
    const std::size_t held = MainRamFree();
    Bytes(p)[MemBlockSize(20) - MemBlockHeader] = 0; // the first byte after the block
    FreeMem(p);
    EXPECT_TRUE(LogHas("FreeMem: End Header corrupted."));
    EXPECT_EQ(MainRamFree(), held);
}

TEST_F(MemoryPools, OverwrittenStartGuardIsReportedAndTheBlockKept)
{
    ASSERT_TRUE(Start(ExecFlagGuards));
    void* p = AllocMem(MemMainRam, 20);
    const std::size_t held = MainRamFree();
    Bytes(p)[-static_cast<std::ptrdiff_t>(MemBlockHeader) - 1] = 0;
    FreeMem(p);
    EXPECT_TRUE(LogHas("FreeMem: Start Header corrupted."));
    EXPECT_EQ(MainRamFree(), held);
}

TEST_F(MemoryPools, DoubleReleaseIsReportedAndChangesNothing)
{
    ASSERT_TRUE(Start(ExecFlagReportFree));
    void* keep = AllocMem(MemMainRam, 64);
    void* p = AllocMem(MemMainRam, 64);
    void* q = AllocMem(MemMainRam, 64);
    FreeMem(p);
    const std::size_t after = MainRamFree();
    FreeMem(p);
    char line[64];
    std::snprintf(line, sizeof line, "FreeMem: Address %x already free.",
                  static_cast<unsigned>(reinterpret_cast<uintptr_t>(p)));
    EXPECT_TRUE(LogHas(std::string(line) + "\r\n")) << Log();
    EXPECT_EQ(MainRamFree(), after);
    FreeMem(q);
    FreeMem(keep);
}

TEST_F(MemoryPools, ReleaseOfAMergedBlockIsStillADoubleRelease)
{
    ASSERT_TRUE(Start(ExecFlagReportFree));
    void* a = AllocMem(MemMainRam, 64);
    void* b = AllocMem(MemMainRam, 64);
    void* c = AllocMem(MemMainRam, 64);
    FreeMem(a);
    FreeMem(b); // merged into a's chunk
    const std::size_t after = MainRamFree();
    FreeMem(b);
    EXPECT_NE(Log().find("already free."), std::string::npos);
    EXPECT_EQ(MainRamFree(), after);
    FreeMem(c);
}

TEST_F(MemoryPools, NullReleaseIsReportedOnlyWithTheFlag)
{
    ASSERT_TRUE(Start());
    FreeMem(nullptr);
    EXPECT_FALSE(LogHas("FreeMem: Free NULL address"));
    Stop();
    ASSERT_TRUE(Start(ExecFlagReportFree));
    FreeMem(nullptr);
    EXPECT_TRUE(LogHas("FreeMem: Free NULL address"));
}

TEST_F(MemoryPools, FillPatterns)
{
    ASSERT_TRUE(Start(ExecFlagFill));
    auto* p = Bytes(AllocMem(MemMainRam, 40));
    auto* keep = AllocMem(MemMainRam, 8);
    for (std::size_t i = 0; i < MemBlockSize(40) - MemBlockHeader; ++i) ASSERT_EQ(p[i], 0x11) << i;
    FreeMem(p);
    EXPECT_EQ(p[40], 0xAA);
    FreeMem(keep);
}

TEST_F(MemoryPools, FailedAllocationIsReported)
{
    ASSERT_TRUE(Start());
    EXPECT_EQ(AllocMem(MemMainRam, 64u << 20), nullptr);
    EXPECT_TRUE(LogHas("AllocMem: Could not allocate memory\r\n"));
    EXPECT_EQ(AllocMem(MemDebugRam, 16), nullptr) << "no debug pool was asked for";
}

TEST_F(MemoryPools, DebugPoolServesItsOwnAttributes)
{
    config.debugRamSize = 4096;
    ASSERT_TRUE(Start());
    EXPECT_EQ(PoolCount(), 2);
    const std::size_t mainFree = MainRamFree();
    void* p = AllocMem(MemDebugRam, 100);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(MainRamFree(), mainFree);
    FreeMem(p);
}

TEST_F(MemoryPools, HostModeTakesNoPools)
{
    config.memoryFlags = 1;
    ASSERT_TRUE(Start());
    EXPECT_EQ(PoolCount(), 0);
    void* p = AllocMem(MemMainRam, 100);
    ASSERT_NE(p, nullptr);
    EXPECT_FALSE(PoolOwns(p));
    FreeMem(p);
}

TEST_F(MemoryPools, LiveBlockTableFollowsAllocations)
{
    ASSERT_TRUE(Start(ExecFlagMemoryCheck));
    const std::size_t base = LiveBlockCount();
    std::vector<void*> blocks;
    for (int i = 0; i < 100; ++i) blocks.push_back(AllocMem(MemMainRam, 24));
    EXPECT_EQ(LiveBlockCount(), base + 100);
    for (void* p : blocks) FreeMem(p);
    EXPECT_EQ(LiveBlockCount(), base);
    EXPECT_FALSE(LogHas("Could not find mem check node"));
}

TEST_F(MemoryPools, FullCheckFindsAnOverwrittenFreeChunk)
{
    ASSERT_TRUE(Start(ExecFlagMemoryCheck));
    void* a = AllocMem(MemMainRam, 64);
    void* b = AllocMem(MemMainRam, 64);
    FreeMem(a);
    std::memset(Bytes(a) - MemBlockHeader, 0xAA, 32); // a stray write over the free chunk
    EXPECT_FALSE(FullMemoryCheck());
    EXPECT_TRUE(LogHas("Memory patch, block corrupted"));
    std::memset(Bytes(a) - MemBlockHeader, 0, 32);
    *reinterpret_cast<std::size_t*>(Bytes(a) - MemBlockHeader + 16) = MemBlockSize(64);
    (void)b; // the pool is released whole at the end
}

TEST_F(MemoryPools, CopyMemCopiesEveryLength)
{
    const char source[] = "0123456789abcdef";
    for (std::size_t length : {0u, 3u, 8u, 13u, 16u}) {
        char target[17] = {};
        CopyMem(source, target, length);
        EXPECT_EQ(std::string(target, length), std::string(source, length));
        EXPECT_EQ(target[length], '\0');
    }
}

TEST_F(MemoryPools, TwoThreadsUnderTheSemaphoreNeverCorruptThePool)
{
    ASSERT_TRUE(Start(ExecFlagMemoryLock | ExecFlagGuards));
    const std::size_t before = MainRamFree();
    auto work = [](unsigned seed, bool* ok) {
        void* held[64] = {};
        std::size_t sizes[64] = {};
        for (int round = 0; round < 20000; ++round) {
            seed = seed * 1103515245u + 12345u;
            const unsigned slot = (seed >> 8) % 64;
            if (held[slot]) {
                const auto* p = static_cast<unsigned char*>(held[slot]);
                for (std::size_t i = 0; i < sizes[slot]; ++i)
                    if (p[i] != static_cast<unsigned char>(slot)) *ok = false;
                FreeMem(held[slot]);
                held[slot] = nullptr;
            } else {
                sizes[slot] = 1 + (seed >> 16) % 200;
                held[slot] = AllocMem(MemMainRam, sizes[slot]);
                if (!held[slot]) {
                    *ok = false;
                    continue;
                }
                std::memset(held[slot], static_cast<int>(slot), sizes[slot]);
            }
        }
        for (void* p : held)
            if (p) FreeMem(p);
    };
    bool ok1 = true;
    bool ok2 = true;
    std::thread first(work, 1u, &ok1);
    std::thread second(work, 2u, &ok2);
    first.join();
    second.join();
    EXPECT_TRUE(ok1);
    EXPECT_TRUE(ok2);
    EXPECT_EQ(MainRamFree(), before);
    EXPECT_EQ(Log().find("Header corrupted"), std::string::npos);
}
