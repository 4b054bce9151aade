#pragma once

#include <cstdint>
#include <functional>

// An exclusive advisory lock on a file of its own (made when it is not
// there), which only programs that take the same lock wait for. POSIX
// systems only: the Linux command-line tool takes it around its changes of
// a file; the Windows tool takes none. Released when the object goes (or
// the process ends).
class FileLock {
public:
    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes the lock, waiting for another holder to let it go for at most
    // waitMs on the active clock; `waiting` is called once when a second of
    // waiting has passed. 0 when taken, else the system's error number
    // (EWOULDBLOCK when the time ran out).
    int Take(const char* path, uint32_t waitMs, const std::function<void()>& waiting);

private:
    int descriptor_ = -1;
};
