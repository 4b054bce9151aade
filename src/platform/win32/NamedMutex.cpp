#include "platform/NamedMutex.h"

#include <windows.h>

// The lock is the Windows mutex itself; its handle is the opaque pointer.
NativeMutex* CreateNamedMutex(const char* name)
{
    return reinterpret_cast<NativeMutex*>(CreateMutexA(nullptr, FALSE, name));
}

MutexWait WaitNamedMutex(NativeMutex* mutex, uint32_t timeoutMs)
{
    switch (WaitForSingleObject(reinterpret_cast<HANDLE>(mutex), timeoutMs)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED: return MutexWait::Acquired;
    case WAIT_TIMEOUT: return MutexWait::TimedOut;
    default: return MutexWait::Failed;
    }
}

bool ReleaseNamedMutex(NativeMutex* mutex) { return ReleaseMutex(reinterpret_cast<HANDLE>(mutex)) != FALSE; }

bool CloseNamedMutex(NativeMutex* mutex) { return CloseHandle(reinterpret_cast<HANDLE>(mutex)) != FALSE; }

int LastSystemError() { return static_cast<int>(GetLastError()); }
