#include "exec/ExecList.h"
#include "exec/ExecTable.h"
#include "exec/Language.h"
#include "exec/Log.h"
#include "exec/MemCheck.h"
#include "exec/MText.h"
#include "exec/Memory.h"
#include "exec/RuntimeFlags.h"
#include "exec/RuntimeIdentity.h"
#include "exec/RuntimeTexts.h"
#include "exec/Semaphore.h"
#include "exec/SizeText.h"
#include "platform/NamedMutex.h"

#include "ExecRuntime.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <regex>
#include <thread>
#include <utility>
#include <vector>

namespace {

using MemoryPools = ExecRuntime;
unsigned char* Bytes(void* p) { return static_cast<unsigned char*>(p); }

const std::string InitLine = "Exec Log Init [0-9]{1,2} (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
                             "[0-9]{4} at [0-9]{2}:[0-9]{2}:[0-9]{2}\r\n";

const char* const Sheet = "<?xml version=\"1.0\"?>\r\n<Workbook><Worksheet ss:Name=\"Exec\"><Table>\r\n"
    "<Row><Cell><Data ss:Type=\"String\">[English]</Data></Cell><Cell><Data>[French]</Data></Cell></Row>\r\n"
    "<Row><Cell><Data>[MemUnits]</Data></Cell></Row><Row><Cell><Data>Bytes</Data></Cell><Cell><Data>Octets</Data></Cell></Row>\r\n"
    "<ROW><cell ss:StyleID=\"s1\"><DATA>KB</DATA></cell><Cell><Data>Ko</Data></Cell></ROW><Row><Cell><Data>MB</Data></Cell></Row>\r\n"
    "<Row><Cell><Data></Data></Cell><Cell><Data></Data></Cell></Row>\r\n"
    "<Row><Cell><Data>GB &amp; more</Data></Cell><Cell><Data>Go</Data></Cell></Row></Table></Worksheet></Workbook>\r\n";

class Runtime : public ExecRuntime {
protected:
    // Starts with the language list (section Exec) and text sheet given, none when empty.
    bool StartWith(uint16_t language, const std::string& languages, const std::string& sheet = Sheet)
    {
        std::filesystem::create_directories(dir.path() / "System/Resources/Scripts");
        if (!languages.empty()) dir.Write("System/Resources/Scripts/system.ini", "[Exec]\r\n" + languages);
        if (!sheet.empty()) dir.Write("System/Resources/Scripts/Exec.xml", sheet);
        config.language = language;
        return Start();
    }
};

} // namespace

// The leak report leaves out what the runtime holds itself (its own blocks,
// the extra text, the guard gaps) and names a leak less one block header.
TEST_F(Runtime, StartAndStopLinesFollowTheThresholdAndReportLeaks)
{
    const std::string start = "Log Create\r\n" + InitLine, texts = "(InstallMText: Could not open [^\r]*Exec.xml\r\n){8}",
                      remove = "Exec Remove [0-9]{2}/[0-9]{2}/[0-9]{2} at [0-9]{2}:[0-9]{2}:[0-9]{2}\r\n\r\n";
    const struct { int level; uint32_t flags; std::size_t leak; std::string log; } cases[] = {
        {3, 0, 0, start + "InitExec: Init scripting system.\r\nInitExec: Init languages.\r\n" + texts +
                      "InitExec: Allocated 4  main ram, 0  debug ram.\r\n" + remove + "Removing: Resource systems\r\n\r\n"
                      "Removing: Tasks\r\nRemoving: Log and Memory\r\nNo memory leaks, no problem\r\n\r\nExec system removed\r\n"},
        {0, 0, 0, start},
        {2, 0, 100, start + texts + remove + "Memory still allocated on release 112 bytes\r\n"},
        {2, ExecFlagGuards | ExecFlagFill | ExecFlagReportFree | ExecFlagMemoryCheck | ExecFlagMemoryLock, 0,
         start + texts + remove + "No memory leaks, no problem\r\n\r\n"}};
    std::snprintf(config.extraText, sizeof config.extraText, "extra words");
    for (const auto& c : cases) {
        config.logLevel = c.level;
        ASSERT_TRUE(Start(c.flags));
        if (c.leak) AllocMem(MemMainRam, c.leak);
        Stop();
        EXPECT_TRUE(std::regex_match(Log(), std::regex(c.log))) << Log();
    }
}

// Once started the log goes elsewhere: what stays in the current directory
// are the lines written before the log settings were taken.
TEST_F(Runtime, MainPoolIsRetriedSmallerAndFatalWhenNoneCanBeHad)
{
    constexpr uint32_t MiB = 1u << 20;
    const struct { std::size_t hostLimit; uint32_t asked, taken; const char* log; } cases[] = {
        {20 * MiB, 32 * MiB, 16 * MiB, "_InitAlloc: Could not allocate 33554432 bytes from host.\r\n"},
        {40 * MiB, 96 * MiB, 32 * MiB, ""},
        {1 * MiB, 32 * MiB, 0, "_InitAlloc: Could not allocate 33554432 bytes from host.\r\n_InitAlloc: Could not allocate "
                               "16777216 bytes from host.\r\nInitExec: Fatal error. Cannot initialise memory system.\r\n"}};
    std::snprintf(config.logDirectory, sizeof config.logDirectory, "%s", (dir.WithSeparator() + "elsewhere/").c_str());
    config.logMode = 1;
    static std::size_t limit; // a host heap that refuses blocks above it
    for (const auto& c : cases) {
        limit = c.hostLimit;
        SetHostHeap({[](std::size_t size) { return size > limit ? nullptr : std::malloc(size); }, std::free});
        config.mainRamSize = c.asked;
        EXPECT_EQ(Start(), c.taken != 0);
        EXPECT_EQ(MainRamTotal(), c.taken);
        Stop();
        SetHostHeap(SystemHostHeap());
        EXPECT_EQ(Log(), c.log);
        std::filesystem::remove(dir.path() / "Log.txt");
    }
}

// Semaphores are named by the identity, so that copies started from one
// directory share them; a stuck one is reported and then waited for.
TEST_F(Runtime, IdentityNamesTheSemaphoresWhoseFaultsAreReported)
{
    SetRuntimeIdentity("123456789");
    EXPECT_STREQ(RuntimeIdentity(), "cbf43926");
    ASSERT_TRUE(Start(ExecFlagMemoryLock));
    EXPECT_EQ(std::strtoul(RuntimeIdentity(), nullptr, 16), Crc32(config.baseDirectory, std::strlen(config.baseDirectory)));
    for (const char* name : {"Memory manager", "Tasks", "Display"})
        EXPECT_NE(FindName(SemaphoreList(), (RuntimeIdentity() + std::string(name)).c_str()), nullptr) << name;
    EXPECT_EQ(CountMembers(SemaphoreList()), 4); // with the unnamed general one
    EXPECT_TRUE(PoolOwns(FormatTempBuffer())) << "the shared buffer is a block of the main pool";
    ExecSemaphore semaphore;
    ASSERT_TRUE(InitSemaphore(&semaphore, "Stuck"));
    EXPECT_FALSE(ReleaseSemaphore(&semaphore));
    EXPECT_NE(Log().find("ReleaseSemaphore error "), std::string::npos);
    EXPECT_TRUE(ObtainSemaphore(&semaphore) && ObtainSemaphore(&semaphore) && ReleaseSemaphore(&semaphore)) << "holds are recursive";
    SetSemaphoreTimeout(50);
    std::thread waiter([&] { EXPECT_TRUE(ObtainSemaphore(&semaphore) && ReleaseSemaphore(&semaphore)); });
    while (!LogHas("ObtainSemaphore: Timeout " + std::string(RuntimeIdentity()) + "Stuck"))
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(ReleaseSemaphore(&semaphore));
    waiter.join();
    SetSemaphoreTimeout(20000);
    ASSERT_TRUE(ObtainSemaphore(&semaphore)); // deleted while held: its lock cannot go, and the runtime says so
    NativeMutex* const lock = semaphore.lock;
    DeleteSemaphore(&semaphore);
    EXPECT_TRUE(LogHas("Release semaphore failed"));
    EXPECT_TRUE(ReleaseNamedMutex(lock) && CloseNamedMutex(lock));
    Stop();
    EXPECT_EQ(CountMembers(SemaphoreList()), 0);
}

TEST_F(Runtime, LogLinesFollowTheModeAndTheLevelAndAreCutAndEndedWithCrLf)
{
    const auto startLog = [&](unsigned mode, const char* directory) {
        std::snprintf(config.logDirectory, sizeof config.logDirectory, "%s%s", dir.WithSeparator().c_str(), directory);
        config.logMode = static_cast<uint16_t>(mode);
        LogInit(config);
    };
    SetLogThreshold(0);
    const std::pair<unsigned, std::string> cases[] = {
        {LogModeNew, "Log Create\r\n" + InitLine}, {LogModeAppend, "old\r\n" + InitLine}, {LogModeOff, "old\r\n"}};
    for (const auto& [mode, file] : cases) {
        dir.Write("Log.txt", "old\r\n");
        startLog(mode, "");
        EXPECT_TRUE(std::regex_match(Log(), std::regex(file))) << Log();
        EXPECT_EQ(LogPrintf(0, "x"), mode == LogModeOff ? 0 : 1);
    }
    LogWrite("direct");
    EXPECT_EQ(Log(), "old\r\ndirect\r\n") << "a direct write ignores the mode";
    startLog(LogModeNew, "");
    const std::string opening = Log();
    EXPECT_EQ(LogPrintf(1, "warning"), 0);
    EXPECT_EQ(LogPrintf(0, "error %s", "here"), 10);
    SetLogThreshold(2);
    EXPECT_EQ(LogPrintf(2, "Exec Remove\n"), 12);
    EXPECT_EQ(LogPrintf(3, "detail"), 0);
    EXPECT_EQ(LogPrintf(0, "%s", std::string(600, 'x').c_str()), 511);
    ExecFailure("Exec\\Memory", 42, "AllocMem: Could not allocate memory");
    EXPECT_EQ(Log(), opening + "error here\r\nExec Remove\r\n\r\n" + std::string(511, 'x') + "\r\nAllocMem: Could not allocate memory\r\n");
    // With no debugger attached the box never asks the caller to break.
    EXPECT_FALSE(AssertBox("Exec\\Memory", 1, "FALSE", "message"));
    startLog(LogModeNew, "missing/");
    EXPECT_EQ(LogPrintf(0, "lost"), 4) << "a line that cannot be written is lost quietly";
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
}

TEST_F(Runtime, LangLinesAddLanguagesAndSizesAreWrittenInTheCurrentOne)
{
    ASSERT_TRUE(StartWith(1, "LANG=French,Francais,3,1,0,1036\r\nLANG=English,E,0,2,0,1033\r\nLANG=english,E,0,0,0,2057\r\n"));
    ASSERT_EQ(CountMembers(LanguageList()), 2);
    const ExecLanguage* french = LanguageOfIndex(1);
    ASSERT_TRUE(french && LanguageOfIndex(0));
    EXPECT_TRUE(!std::strcmp(french->ownName, "Francais") && french->code == 1036 && LanguageOfIndex(0)->code == 1033);
    EXPECT_TRUE(LogHas("AddLanguage: Two different indexs have been attached to the same language English. Old value is used"));
    EXPECT_TRUE(LogHas("AddLanguage: Two different codes have been attached to the same language english. Old value is used"));
    EXPECT_EQ(Locale().localeByte, 3) << "taken from the current language";
    const std::pair<uint64_t, const char*> sizes[] = {{1075, "1.04 Ko"}, {1536, "1.50 Ko"}, {2048, "2 Ko"}, {1024, "1 Ko"},
        {1000, "1000 Octets"}, {32u << 20, "32 MB"}, {uint64_t{3} << 30, "3 Go"}, {uint64_t{5} << 40, "5 "}};
    for (const auto& [bytes, expected] : sizes) {
        char text[64];
        FormatSize(bytes, text, sizeof text);
        EXPECT_STREQ(text, expected);
    }
    EXPECT_TRUE(LogHas("InitExec: Allocated 4 MB main ram, 0 Octets debug ram."));
}

// Each text comes from the current language's column, or the last cell of a
// shorter row; empty cells do not count, a cell without data ends the sheet
// and a row keeps its first 256 cells.
TEST_F(Runtime, TextsOfTheCurrentLanguage)
{
    std::string wide = "<Row>";
    for (int i = 0; i < 300; ++i) wide += "<Cell><Data>x</Data></Cell>";
    const std::string units = "<Row><Cell><Data>[English]</Data></Cell></Row><Row><Cell><Data>[MemUnits]</Data></Cell></Row>"
                              "<Row><Cell><Data>B</Data></Cell></Row>";
    const struct { uint16_t language; const char* languages; std::string sheet; std::vector<const char*> units; const char* line; } cases[] = {
        {2, "LANG=German,Deutsch,0,2,0,1031\r\n", Sheet, {"Bytes", "KB", "MB", "GB &amp; more", nullptr}, "Defaulting to English."},
        {7, "", Sheet, {nullptr}, "FindScriptLanguageMarker: Could not find installed language 7"},
        {0, "", units + "<Row><Cell></Cell></Row><Row><Cell><Data>K</Data></Cell></Row>", {"B", nullptr}, "0 B debug ram."},
        {0, "", units + "<Row ss:Index", {"B", nullptr}, "InitExec: Allocated 4  main ram, 0 B debug ram."}, // cut in a tag
        {0, "", wide + "</Row>" + Sheet, {"Bytes", "KB"}, "InitExec: Allocated 4 MB main ram, 0 Bytes debug ram."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        ASSERT_TRUE(StartWith(c.language, c.languages, c.sheet));
        for (uint32_t i = 0; i < c.units.size(); ++i) EXPECT_STREQ(MTextString(RuntimeText(RuntimeTextId::MemUnits), i), c.units[i]) << i;
        EXPECT_TRUE(LogHas(c.line)) << Log();
        EXPECT_EQ(Locale().language, c.language == 2 ? 0u : c.language) << "a language missing from the sheet leaves English";
        Stop();
    }
}

// A block is the request and a 16-byte header rounded up to 16, at least 32.
// Guards put 16 bytes between chunks, "UVWX" directly before and after each;
// a new block is filled with 0x11 and a released one with 0xAA.
TEST_F(MemoryPools, BlockSizesGuardsAndFills)
{
    const struct { uint32_t flags; std::size_t request, taken; } cases[] = {
        {0, 1, 32}, {0, 16, 32}, {0, 17, 48}, {0, 100, 128}, {ExecFlagGuards, 20, 48 + 16}, {ExecFlagFill, 20, 48}};
    for (const auto& c : cases) {
        ASSERT_TRUE(Start(c.flags));
        const std::size_t before = MainRamFree();
        auto* p = Bytes(AllocMem(MemMainRam, c.request));
        EXPECT_EQ(before - MainRamFree(), c.taken) << c.request;
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 16, 0u);
        EXPECT_TRUE(c.flags != ExecFlagGuards || (!std::memcmp(p - 20, "UVWX", 4) && !std::memcmp(p + 32, "UVWX", 4)));
        EXPECT_TRUE(c.flags != ExecFlagFill || std::count(p, p + 32, 0x11) == 32);
        FreeMem(p);
        EXPECT_TRUE(c.flags != ExecFlagFill || p[20] == 0xAA);
        EXPECT_EQ(MainRamFree(), before);
        Stop();
    }
}

// First fit in address order; neighbours released in any order become one
// chunk again, which a request for all three takes whole.
TEST_F(MemoryPools, NeighboursMergeInEveryReleaseOrder)
{
    ASSERT_TRUE(Start());
    int order[] = {0, 1, 2};
    do {
        SCOPED_TRACE(testing::PrintToString(order));
        const std::size_t before = MainRamFree();
        void* block[4]; // the fourth keeps the three apart from the rest of the pool
        for (void*& p : block) p = AllocMem(MemMainRam, 40);
        EXPECT_EQ(Bytes(block[1]) - Bytes(block[0]), 64);
        for (int i : order) FreeMem(block[i]);
        EXPECT_EQ(before - MainRamFree(), 64u);
        EXPECT_EQ(AllocMem(MemMainRam, 3 * 64 - 16), block[0]);
        for (void* p : {block[0], block[3]}) FreeMem(p);
        EXPECT_EQ(MainRamFree(), before);
    } while (std::next_permutation(order, order + 3));
}

TEST_F(MemoryPools, FaultsAreReportedAndChangeNothing)
{
    ASSERT_TRUE(Start(ExecFlagGuards | ExecFlagReportFree));
    const std::size_t before = MainRamFree();
    auto* p = Bytes(AllocMem(MemMainRam, 20)); // a block of 48
    void* block[3];
    for (void*& b : block) b = AllocMem(MemMainRam, 64);
    FreeMem(block[1]);
    FreeMem(block[0]); // block 1 now lies inside block 0's chunk
    auto* last = Bytes(AllocMem(MemMainRam, MainRamFree() - 176 - 16)); // the rest of the pool
    const std::size_t held = MainRamFree();
    const auto grow = [&](std::size_t by) { *reinterpret_cast<std::size_t*>(last - 16) += by; };
    const std::pair<std::function<void()>, std::string> faults[] = {
        {[&] { p[32] = 7; FreeMem(p); p[32] = 'U'; }, "FreeMem: End Header corrupted."},    // the first byte after the block
        {[&] { p[-17] = 7; FreeMem(p); p[-17] = 'X'; }, "FreeMem: Start Header corrupted."}, // the last byte of the guard before it
        {[&] { p[-16] = 7; FreeMem(p); p[-16] = 48; }, "FreeMem: Start Header corrupted."},  // the size word
        {[&] { grow(16); FreeMem(last); grow(-16); }, "FreeMem: Start Header corrupted."},  // a size beyond the pool
        {[&] { AllocMem(MemMainRam, 1000); }, "AllocMem: Could not allocate memory\r\n"},
        {[&] { FreeMem(nullptr); }, "FreeMem: Free NULL address"},
        {[&] { FreeMem(block[0]); }, FormatTemp("FreeMem: Address %x already free.\r\n", unsigned(uintptr_t(block[0])))},
        {[&] { FreeMem(block[1]); }, FormatTemp("FreeMem: Address %x already free.\r\n", unsigned(uintptr_t(block[1])))}};
    for (const auto& [fault, line] : faults) {
        const std::string log = Log();
        fault();
        EXPECT_EQ(Log(), log + line + "\r\n");
        EXPECT_EQ(MainRamFree(), held);
    }
    for (void* b : {last, p, Bytes(block[2])}) FreeMem(b);
    EXPECT_EQ(MainRamFree(), before);
}

TEST_F(MemoryPools, MemoryCheckFollowsLiveBlocksAndFindsAnOverwrittenFreeChunk)
{
    ASSERT_TRUE(Start(ExecFlagMemoryCheck | ExecFlagGuards));
    const std::size_t live = LiveBlockCount();
    void* block[100];
    for (void*& p : block) p = AllocMem(MemMainRam, 24);
    EXPECT_EQ(LiveBlockCount(), live + 100);
    for (void* p : block) FreeMem(p);
    EXPECT_EQ(LiveBlockCount(), live);
    auto* a = Bytes(AllocMem(MemMainRam, 64)) - 16;
    void* b = AllocMem(MemMainRam, 64);
    FreeMem(a + 16);
    EXPECT_TRUE(FullMemoryCheck()) << "a sound pool passes";
    for (const auto& [at, length] : {std::pair{0, 32}, {-1, 1}}) { // a stray write over the free chunk, over its guard
        unsigned char kept[32];
        std::memcpy(kept, a + at, length);
        std::memset(a + at, 0xAA, length);
        EXPECT_FALSE(FullMemoryCheck()) << at;
        std::memcpy(a + at, kept, length);
    }
    EXPECT_TRUE(LogHas("Memory patch, block corrupted"));
    FreeMem(b);
    EXPECT_FALSE(LogHas("Could not find mem check node"));
}

TEST_F(MemoryPools, TwoThreadsUnderTheSemaphoreNeverCorruptThePool)
{
    ASSERT_TRUE(Start(ExecFlagMemoryLock | ExecFlagGuards));
    const std::size_t before = MainRamFree();
    auto work = [](unsigned seed, bool* ok) {
        unsigned char* held[64] = {}; // a block of slot * 3 + 1 bytes, all of them slot
        for (int round = 0; round < 20000; ++round) {
            seed = seed * 1103515245u + 12345u;
            const auto slot = static_cast<unsigned char>((seed >> 8) % 64);
            if (held[slot]) {
                *ok &= std::count(held[slot], held[slot] + slot * 3 + 1, slot) == slot * 3 + 1;
                FreeMem(std::exchange(held[slot], nullptr));
            } else if ((held[slot] = Bytes(AllocMem(MemMainRam, slot * 3u + 1)))) {
                std::memset(held[slot], slot, slot * 3u + 1);
            }
        }
        for (void* p : held) FreeMem(p);
    };
    bool ok[2] = {true, true};
    { std::jthread first(work, 1u, &ok[0]), second(work, 2u, &ok[1]); } // joined here
    EXPECT_TRUE(ok[0] && ok[1]);
    EXPECT_EQ(MainRamFree(), before);
    EXPECT_EQ(Log().find("Header corrupted"), std::string::npos);
}

TEST_F(MemoryPools, TableOfCapacityNHoldsNMinusOneBeforeItGrowsAndAFailureLeavesIt)
{
    ASSERT_TRUE(Start());
    ExecTable table;
    ASSERT_TRUE(AddTable(&table, sizeof(int), 4));
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(AppendTableEntry(&table, &i, 0), i < 4) << "a fixed table refuses the fourth";
    for (int i = 4; i <= 5; ++i) EXPECT_TRUE(AppendTableEntry(&table, &i, 16));
    EXPECT_TRUE(table.count == 5 && table.capacity == 20);
    for (uint32_t i = 0; i < 5; ++i) EXPECT_EQ(*static_cast<int*>(TableEntry(&table, i)), int(i) + 1);
    EXPECT_FALSE(ResizeTable(&table, 8 * 1024 * 1024));
    EXPECT_TRUE(LogHas("ResizeTable: Could not allocate 32.00 ")) << Log();
    EXPECT_EQ(table.capacity, 20u);
    RewindTable(&table);
    EXPECT_TRUE(table.count == 0 && table.cursor == table.data);
    FreeTable(&table);
    EXPECT_FALSE(AddTable(&table, 1024, 8 * 1024));
    EXPECT_TRUE(LogHas("AddTable error: No table (could not allocate 8 )")) << Log();
    EXPECT_FALSE(AppendTableEntry(&table, &table, 16)) << "a table that could not be made takes nothing";
}
