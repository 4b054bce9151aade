#pragma once

#include <cstdint>

// A recursive lock that a thread may hold several times. On Windows it is a
// mutex object named by the operating system, so that every process asking
// for the same name shares it; elsewhere names are not shared and every
// lock is private to its creator.
struct NativeMutex;

enum class MutexWait { Acquired, TimedOut, Failed };

// Creates the lock; name may be null for an unnamed one. Null on failure.
NativeMutex* CreateNamedMutex(const char* name);

// Waits at most timeoutMs milliseconds for the lock.
MutexWait WaitNamedMutex(NativeMutex* mutex, uint32_t timeoutMs);

// Releases one hold; false when the calling thread holds none.
bool ReleaseNamedMutex(NativeMutex* mutex);

// Closes the lock; false when the system refused.
bool CloseNamedMutex(NativeMutex* mutex);

// The system's code of the last failure of the calling thread.
int LastSystemError();
