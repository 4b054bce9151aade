#include "exec/Exec.h"

#include "exec/ExecConfig.h"
#include "exec/Language.h"
#include "exec/Log.h"
#include "exec/Memory.h"
#include "exec/OwnedText.h"
#include "exec/Resource.h"
#include "exec/RuntimeFlags.h"
#include "exec/RuntimeIdentity.h"
#include "exec/RuntimeTexts.h"
#include "exec/ScriptTable.h"
#include "exec/Semaphore.h"
#include "exec/SizeText.h"
#include "exec/Tasks.h"
#include "platform/LocalTime.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* Source = "Exec\\ExecLib";

struct ExecState {
    uintptr_t applicationWord = 0;
    uint8_t spare = 0;
    char* extraText = nullptr;
    char* textBuffer = nullptr; // the shared formatting buffer (FormatTemp)
    uint16_t language = 0;
    ExecSemaphore general;
};

ExecState g_exec;
char g_applicationName[64] = {};
char g_caption[64] = {};

void TakeConfig(const ExecConfig& config)
{
    g_execFlags = config.flags & ~ExecFlagIgnored & ~ExecFlagPoolsReady;
    g_exec.applicationWord = config.applicationWord;
    g_exec.spare = config.spare;
    g_exec.language = config.language;
    SetRuntimeIdentity(config.baseDirectory);
}

void StartLanguages()
{
    LogPrintf(3, "InitExec: Init languages.");
    Locale().language = g_exec.language;
    LoadLanguageList();
    MakeRuntimeTexts();
    LoadRuntimeTexts();
    LocaleSettings& locale = Locale();
    locale.language = g_exec.language;
    locale.listSeparator = ',';
    locale.decimalPoint = '.';
    if (const ExecLanguage* language = LanguageOfIndex(g_exec.language)) locale.localeByte = language->localeByte;
    LoadRuntimeTexts();
}

void ReportLeaks()
{
    // What the runtime itself still holds: the pool records and their guard
    // gaps (exact for this block layout), and the block of the extra text
    // with its guard gap.
    std::size_t overhead = MainRamOverhead();
    if (g_exec.extraText) {
        overhead += MemBlockSize(std::strlen(g_exec.extraText) + 1);
        if (ExecFlag(ExecFlagGuards)) overhead += MemGuardGap;
    }
    const std::size_t inUse = MainRamTotal() - MainRamFree();
    // The figure is the bytes still in use less one block header.
    if (inUse > overhead)
        LogPrintf(1, "Memory still allocated on release %d bytes", static_cast<int>(inUse - overhead - MemBlockHeader));
    else
        LogPrintf(2, "No memory leaks, no problem\n");
}

} // namespace

const char* ExecApplicationName() { return g_applicationName; }
const char* ExecCaption() { return g_caption; }

bool InitExec(const ExecConfig& config)
{
    TakeConfig(config);
    StartSystemLists();
    InitList(SemaphoreList(), "Semaphore");

    if (!TakeMemoryPools(config.mainRamSize, config.debugRamSize, config.memoryFlags) &&
        !TakeMemoryPools(config.mainRamSize / 2, config.debugRamSize, config.memoryFlags)) {
        ExecFailure(Source, __LINE__, "InitExec: Fatal error. Cannot initialise memory system.");
        return false;
    }

    LogInit(config);
    SetLogThreshold(config.logLevel);
    g_exec.extraText = CopyTextPart(config.extraText, strnlen(config.extraText, sizeof config.extraText));

    StartTasks();
    g_exec.textBuffer = static_cast<char*>(AllocMem(MemMainRam, FormatTempSize));
    UseFormatTempBlock(g_exec.textBuffer);
    StartResources(config.baseDirectory);

    LogPrintf(3, "InitExec: Init scripting system.");
    StartScripts();

    StartLanguages();

    StartTimerService();
    InitSemaphore(&g_exec.general, nullptr);

    char mainSize[64];
    char debugSize[64];
    FormatSize(MainRamTotal(), mainSize, sizeof mainSize);
    FormatSize(DebugRamTotal(), debugSize, sizeof debugSize);
    LogPrintf(3, "InitExec: Allocated %s main ram, %s debug ram.", mainSize, debugSize);
    return true;
}

void ExitExec()
{
    StopTimerService();

    const LocalTime t = ReadLocalTime();
    char date[16];
    char time[16];
    std::snprintf(date, sizeof date, "%02d/%02d/%02d", t.month % 100, t.day % 100, t.year % 100);
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", t.hour % 100, t.minute % 100, t.second % 100);
    LogPrintf(1, "Exec Remove %s at %s\n", date, time);

    LogPrintf(3, "Removing: Resource systems\n");
    StopResources();

    LogPrintf(3, "Removing: Tasks");
    StopTasks();

    StopSystemLists();
    FreeRuntimeTexts();
    DeleteSemaphore(&g_exec.general);

    LogPrintf(3, "Removing: Log and Memory");
    UseFormatTempBlock(nullptr);
    if (g_exec.textBuffer) FreeMem(g_exec.textBuffer);
    g_exec.textBuffer = nullptr;
    ReportLeaks();

    FreeText(g_exec.extraText);
    g_exec.extraText = nullptr;
    ReleaseMemoryPools();
    LogPrintf(3, "Exec system removed");
}
