#include "exec/Semaphore.h"

#include "exec/Log.h"
#include "exec/RuntimeIdentity.h"
#include "platform/NamedMutex.h"
#include "platform/SystemBeep.h"

#include <atomic>
#include <cstdio>

namespace {

constexpr const char* Source = "exec\\Task_PC";
constexpr unsigned TimeoutBeep = 2;

std::atomic<uint32_t> g_timeoutMs{20000};
ExecList g_semaphores;

} // namespace

ExecList* SemaphoreList() { return &g_semaphores; }

void SetSemaphoreTimeout(uint32_t milliseconds) { g_timeoutMs = milliseconds; }

bool InitSemaphore(ExecSemaphore* semaphore, const char* name)
{
    semaphore->type = NodeTypeSemaphore;
    semaphore->holds = 0;
    semaphore->fullName[0] = '\0';
    if (name)
        std::snprintf(semaphore->fullName, sizeof semaphore->fullName, "%s%.255s", RuntimeIdentity(), name);
    semaphore->name = name ? semaphore->fullName : nullptr;
    AddTail(&g_semaphores, semaphore);
    semaphore->lock = CreateNamedMutex(name ? semaphore->fullName : nullptr);
    if (!semaphore->lock) {
        ExecFailure(Source, __LINE__, "Could not create semaphore");
        return false;
    }
    return true;
}

bool ObtainSemaphore(ExecSemaphore* semaphore)
{
    MutexWait result = WaitNamedMutex(semaphore->lock, g_timeoutMs);
    if (result == MutexWait::TimedOut) {
        LogPrintf(1, "ObtainSemaphore: Timeout %s", semaphore->name ? semaphore->name : "");
        SystemBeep(TimeoutBeep);
        do result = WaitNamedMutex(semaphore->lock, g_timeoutMs);
        while (result == MutexWait::TimedOut);
    }
    if (result == MutexWait::Failed) {
        ExecFailure(Source, __LINE__, FormatTemp("ObtainSemaphore: Error code %d", LastSystemError()));
        return false;
    }
    ++semaphore->holds;
    return true;
}

bool ReleaseSemaphore(ExecSemaphore* semaphore)
{
    if (!ReleaseNamedMutex(semaphore->lock)) {
        ExecFailure(Source, __LINE__, FormatTemp("ReleaseSemaphore error %d", LastSystemError()));
        return false;
    }
    --semaphore->holds;
    return true;
}

void DeleteSemaphore(ExecSemaphore* semaphore)
{
    if (semaphore->lock && !CloseNamedMutex(semaphore->lock))
        ExecFailure(Source, __LINE__, "Release semaphore failed");
    semaphore->lock = nullptr;
    semaphore->type = NodeTypeInvalid;
    if (Contains(&g_semaphores, semaphore)) Unlink(&g_semaphores, semaphore);
}
