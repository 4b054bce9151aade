#include "platform/NamedMutex.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <pthread.h>

// POSIX has no process-shared named locks of this kind; the name is ignored
// and every lock is private to this process.
struct NativeMutex {
    pthread_mutex_t lock;
};

namespace {
thread_local int t_lastError = 0;
}

NativeMutex* CreateNamedMutex(const char*)
{
    // Taken from the C heap: the memory pools may themselves be guarded by
    // one of these locks.
    auto* mutex = static_cast<NativeMutex*>(std::malloc(sizeof(NativeMutex)));
    if (!mutex) return nullptr;
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    const int error = pthread_mutex_init(&mutex->lock, &attributes);
    pthread_mutexattr_destroy(&attributes);
    if (error != 0) {
        t_lastError = error;
        std::free(mutex);
        return nullptr;
    }
    return mutex;
}

MutexWait WaitNamedMutex(NativeMutex* mutex, uint32_t timeoutMs)
{
    timespec limit{};
    clock_gettime(CLOCK_REALTIME, &limit);
    limit.tv_sec += static_cast<time_t>(timeoutMs / 1000);
    limit.tv_nsec += static_cast<long>(timeoutMs % 1000) * 1000000L;
    if (limit.tv_nsec >= 1000000000L) {
        limit.tv_sec += 1;
        limit.tv_nsec -= 1000000000L;
    }
    const int error = pthread_mutex_timedlock(&mutex->lock, &limit);
    if (error == 0) return MutexWait::Acquired;
    if (error == ETIMEDOUT) return MutexWait::TimedOut;
    t_lastError = error;
    return MutexWait::Failed;
}

bool ReleaseNamedMutex(NativeMutex* mutex)
{
    // A recursive mutex refuses (EPERM) an unlock by a thread that does not hold it.
    const int error = pthread_mutex_unlock(&mutex->lock);
    if (error != 0) t_lastError = error;
    return error == 0;
}

bool CloseNamedMutex(NativeMutex* mutex)
{
    const int error = pthread_mutex_destroy(&mutex->lock);
    if (error != 0) {
        t_lastError = error;
        return false;
    }
    std::free(mutex);
    return true;
}

int LastSystemError() { return t_lastError; }
