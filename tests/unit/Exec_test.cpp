#include "exec/Language.h"
#include "exec/Log.h"
#include "exec/Memory.h"
#include "exec/Resource.h"
#include "exec/RuntimeFlags.h"
#include "exec/RuntimeIdentity.h"
#include "exec/Semaphore.h"
#include "exec/Tasks.h"

#include "ExecRuntime.h"

#include <cstdlib>
#include <atomic>
#include <chrono>
#include <cstring>
#include <regex>
#include <thread>

namespace {

class Runtime : public ExecRuntime {};

// A host heap that refuses blocks above a limit.
std::size_t g_hostLimit = 0;
void* LimitedTake(std::size_t size) { return size > g_hostLimit ? nullptr : std::malloc(size); }

class LimitedHost {
public:
    explicit LimitedHost(std::size_t limit)
    {
        g_hostLimit = limit;
        SetHostHeap({LimitedTake, std::free});
    }
    ~LimitedHost() { SetHostHeap(SystemHostHeap()); }
    LimitedHost(const LimitedHost&) = delete;
    LimitedHost& operator=(const LimitedHost&) = delete;
};

constexpr uint32_t MiB = 1u << 20;

} // namespace

TEST_F(Runtime, StartAndStopLinesAtDetailLevel)
{
    ASSERT_TRUE(Start());
    Stop();
    const std::string log = Log();
    const std::regex expected(
        "Log Create\r\n"
        "Exec Log Init [^\r]*\r\n"
        "InitExec: Init scripting system.\r\n"
        "InitExec: Init languages.\r\n"
        "(InstallMText: Could not open [^\r]*Exec.xml\r\n){8}"
        "InitExec: Allocated 4  main ram, 0  debug ram.\r\n"
        "Exec Remove [0-9]{2}/[0-9]{2}/[0-9]{2} at [0-9]{2}:[0-9]{2}:[0-9]{2}\r\n\r\n"
        "Removing: Resource systems\r\n\r\n"
        "Removing: Tasks\r\n"
        "Removing: Log and Memory\r\n"
        "No memory leaks, no problem\r\n\r\n"
        "Exec system removed\r\n");
    EXPECT_TRUE(std::regex_match(log, expected)) << log;
}

TEST_F(Runtime, ApplicationThresholdWritesOnlyTheOpeningLines)
{
    config.logLevel = 0;
    ASSERT_TRUE(Start());
    Stop();
    const std::regex expected("Log Create\r\nExec Log Init [^\r]*\r\n");
    EXPECT_TRUE(std::regex_match(Log(), expected)) << Log();
}

TEST_F(Runtime, LeakIsReportedWithItsSize)
{
    ASSERT_TRUE(Start());
    AllocMem(MemMainRam, 100);
    Stop();
    char line[80];
    std::snprintf(line, sizeof line, "Memory still allocated on release %d bytes",
                  static_cast<int>(MemBlockSize(100) - MemBlockHeader));
    EXPECT_TRUE(LogHas(line)) << Log();
    EXPECT_FALSE(LogHas("No memory leaks, no problem\n"));
}

TEST_F(Runtime, GuardsAndExtraTextAreNotLeaks)
{
    std::snprintf(config.extraText, sizeof config.extraText, "extra words");
    ASSERT_TRUE(Start(ExecFlagGuards | ExecFlagFill | ExecFlagReportFree | ExecFlagMemoryCheck | ExecFlagMemoryLock));
    Stop();
    EXPECT_TRUE(LogHas("No memory leaks, no problem\r\n")) << Log();
}

TEST_F(Runtime, FlagsAreTakenWithoutBitThreeAndPoolsAddBitOne)
{
    ASSERT_TRUE(Start(0x2 | 0x8));
    EXPECT_EQ(g_execFlags.load(), 0x3u);
    Stop();
    EXPECT_EQ(g_execFlags.load() & 0x1u, 0u);
}

TEST_F(Runtime, MainPoolIsRetriedAtHalfSize)
{
    LimitedHost host(20 * MiB);
    config.mainRamSize = 32 * MiB;
    config.logMode = 1; // a new log would wipe the failure line out
    ASSERT_TRUE(Start());
    EXPECT_EQ(MainRamTotal(), 16 * MiB);
    EXPECT_EQ(Log().rfind("_InitAlloc: Could not allocate 33554432 bytes from host.\r\nExec Log Init ", 0), 0u) << Log();
}

TEST_F(Runtime, LargePoolIsLoweredBy32MiBSteps)
{
    LimitedHost host(40 * MiB);
    config.mainRamSize = 96 * MiB;
    ASSERT_TRUE(Start());
    EXPECT_EQ(MainRamTotal(), 32 * MiB);
}

TEST_F(Runtime, NoPoolAtAllIsFatalAndLogsInTheCurrentDirectory)
{
    LimitedHost host(1 * MiB);
    config.mainRamSize = 32 * MiB;
    std::snprintf(config.logDirectory, sizeof config.logDirectory, "%s", (dir.WithSeparator() + "elsewhere/").c_str());
    EXPECT_FALSE(Start());
    EXPECT_EQ(PoolCount(), 0);
    EXPECT_EQ(Log(), "_InitAlloc: Could not allocate 33554432 bytes from host.\r\n"
                     "_InitAlloc: Could not allocate 16777216 bytes from host.\r\n"
                     "InitExec: Fatal error. Cannot initialise memory system.\r\n");
}

TEST_F(Runtime, IdentityDependsOnTheBaseDirectory)
{
    EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
    SetRuntimeIdentity("C:\\Games\\Vantor\\");
    const std::string first = RuntimeIdentity();
    SetRuntimeIdentity("D:\\Vantor\\");
    EXPECT_NE(first, RuntimeIdentity());
    ASSERT_TRUE(Start());
    char expected[16];
    std::snprintf(expected, sizeof expected, "%x", Crc32(config.baseDirectory, std::strlen(config.baseDirectory)));
    EXPECT_STREQ(RuntimeIdentity(), expected);
}

TEST_F(Runtime, SemaphoresAreNamedByTheIdentity)
{
    ASSERT_TRUE(Start(ExecFlagMemoryLock));
    const auto* memory = static_cast<ExecSemaphore*>(FindName(SemaphoreList(), (std::string(RuntimeIdentity()) + "Memory manager").c_str()));
    ASSERT_NE(memory, nullptr);
    EXPECT_NE(FindName(SemaphoreList(), (std::string(RuntimeIdentity()) + "Tasks").c_str()), nullptr);
    EXPECT_NE(FindName(SemaphoreList(), (std::string(RuntimeIdentity()) + "Display").c_str()), nullptr);
    EXPECT_EQ(CountMembers(SemaphoreList()), 4); // with the unnamed general one
    Stop();
    EXPECT_EQ(CountMembers(SemaphoreList()), 0);
}

TEST_F(Runtime, SystemListsAndServices)
{
    ASSERT_TRUE(Start());
    EXPECT_STREQ(AnchorList()->head->name, "UserTime");
    EXPECT_STREQ(AnchorList()->head->next->name, "UserData");
    EXPECT_STREQ(AnchorList()->tail->name, "Languages");
    EXPECT_STREQ(SystemBaseTask()->name, "System Base");
    EXPECT_STREQ(ExecApplicationName(), "");
    EXPECT_STREQ(ExecCaption(), "");
    EXPECT_GE(ProcessorCount(), 1u);
    EXPECT_GT(Timer().frequency, 0);
    EXPECT_EQ(Timer().tuning[0], 2u);
    EXPECT_EQ(Timer().tuning[1], 10000u);
    EXPECT_NE(HandlerOfType(ResourceTypeScript), nullptr);
    EXPECT_TRUE(PoolOwns(FormatTempBuffer())) << "the shared buffer is a block of the main pool";
    Stop();
    EXPECT_FALSE(PoolOwns(FormatTempBuffer()));
    EXPECT_STREQ(FormatTemp("%d", 42), "42");
}

TEST_F(Runtime, StuckSemaphoreIsReportedAndThenWaitedFor)
{
    ASSERT_TRUE(Start());
    SetSemaphoreTimeout(50);
    ExecSemaphore semaphore;
    ASSERT_TRUE(InitSemaphore(&semaphore, "Stuck"));
    std::atomic<bool> held{false};
    std::atomic<bool> release{false};
    std::thread holder([&] {
        ObtainSemaphore(&semaphore);
        held = true;
        while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ReleaseSemaphore(&semaphore);
    });
    while (!held) std::this_thread::yield();
    std::thread waiter([&] {
        EXPECT_TRUE(ObtainSemaphore(&semaphore));
        ReleaseSemaphore(&semaphore);
    });
    while (!LogHas("ObtainSemaphore: Timeout " + std::string(RuntimeIdentity()) + "Stuck"))
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    release = true;
    holder.join();
    waiter.join();
    SetSemaphoreTimeout(20000);
    DeleteSemaphore(&semaphore);
}

TEST_F(Runtime, ReleaseOfASemaphoreNotHeldIsReported)
{
    ASSERT_TRUE(Start());
    ExecSemaphore semaphore;
    ASSERT_TRUE(InitSemaphore(&semaphore, nullptr));
    EXPECT_FALSE(ReleaseSemaphore(&semaphore));
    EXPECT_NE(Log().find("ReleaseSemaphore error "), std::string::npos);
    EXPECT_TRUE(ObtainSemaphore(&semaphore));
    EXPECT_TRUE(ObtainSemaphore(&semaphore)) << "holds are recursive";
    EXPECT_TRUE(ReleaseSemaphore(&semaphore));
    EXPECT_TRUE(ReleaseSemaphore(&semaphore));
    DeleteSemaphore(&semaphore);
}
