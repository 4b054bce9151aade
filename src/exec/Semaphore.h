#pragma once

#include "exec/ExecList.h"

#include <cstdint>

struct NativeMutex;

// Longest semaphore name; the operating-system name is the runtime identity
// followed by it.
constexpr unsigned SemaphoreNameMax = 255;

// A recursive lock with a name, kept in the runtime's list "Semaphore".
struct ExecSemaphore : ExecNode {
    NativeMutex* lock = nullptr;
    char fullName[16 + SemaphoreNameMax + 1] = {};
    uint32_t holds = 0; // bookkeeping, cleared at creation
};

// Links the record into "Semaphore" and creates its lock; name may be null.
bool InitSemaphore(ExecSemaphore* semaphore, const char* name);
// Waits for the semaphore. After the time limit (20 s) the wait is reported
// ("ObtainSemaphore: Timeout %s", level 1, and a beep) and then goes on
// without limit, so that the guarded data stay consistent.
bool ObtainSemaphore(ExecSemaphore* semaphore);
bool ReleaseSemaphore(ExecSemaphore* semaphore);
// Closes the lock; the record leaves the list either way.
void DeleteSemaphore(ExecSemaphore* semaphore);

// The time limit of ObtainSemaphore in milliseconds (20000 unless changed).
void SetSemaphoreTimeout(uint32_t milliseconds);

// The runtime's list of all semaphores.
ExecList* SemaphoreList();
