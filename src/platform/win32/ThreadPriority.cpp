#include "platform/ThreadPriority.h"

#include <windows.h>

NativeThread* TakeCurrentThread()
{
    SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
    HANDLE real = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &real, 0, FALSE,
                         DUPLICATE_SAME_ACCESS))
        return nullptr;
    SetThreadPriority(real, THREAD_PRIORITY_ABOVE_NORMAL);
    return reinterpret_cast<NativeThread*>(real);
}

void ReleaseThread(NativeThread* thread) { CloseHandle(reinterpret_cast<HANDLE>(thread)); }
