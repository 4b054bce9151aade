#include "platform/ThreadPriority.h"

#include <pthread.h>
#include <cstdlib>

struct NativeThread {
    pthread_t id;
};

NativeThread* TakeCurrentThread()
{
    // Raising a thread above the normal priority needs privileges here, so
    // the thread keeps its priority; only its identity is kept.
    auto* thread = static_cast<NativeThread*>(std::malloc(sizeof(NativeThread)));
    if (thread) thread->id = pthread_self();
    return thread;
}

void ReleaseThread(NativeThread* thread) { std::free(thread); }
