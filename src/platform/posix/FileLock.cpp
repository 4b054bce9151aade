#include "platform/FileLock.h"

#include "platform/Clock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr uint32_t RetryDelay = 50;     // milliseconds between two tries
constexpr uint64_t WaitingNotice = 1000; // milliseconds of waiting before `waiting` is called

} // namespace

FileLock::~FileLock()
{
    if (descriptor_ >= 0) close(descriptor_); // closing the last descriptor releases the lock
}

int FileLock::Take(const char* path, uint32_t waitMs, const std::function<void()>& waiting)
{
    if (descriptor_ < 0) descriptor_ = open(path, O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
    if (descriptor_ < 0) return errno;
    Clock& clock = ActiveClock();
    const uint64_t start = clock.Milliseconds();
    bool told = false;
    while (flock(descriptor_, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) return errno;
        const uint64_t waited = clock.Milliseconds() - start;
        if (waited >= waitMs) return EWOULDBLOCK;
        if (!told && waited >= WaitingNotice) {
            told = true;
            waiting();
        }
        clock.Sleep(RetryDelay);
    }
    return 0;
}
