#include "Pty.h"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

bool Pty::Create(speed_t speed)
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return false;
    const char* name = ptsname(master_);
    if (!name) return false;
    path_ = name;
    // Held open for the whole run, so the line stays up between the
    // program's opens and its settings can be watched.
    slave_ = open(path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) return false;
    termios tio{};
    if (tcgetattr(slave_, &tio) == 0) {
        cfmakeraw(&tio);
        cfsetispeed(&tio, speed);
        cfsetospeed(&tio, speed);
        tcsetattr(slave_, TCSANOW, &tio);
    }
    return true;
}

void Pty::Close()
{
    ReleaseLine();
    if (master_ >= 0) close(master_);
    master_ = -1;
}

void Pty::ReleaseLine()
{
    if (slave_ >= 0) close(slave_);
    slave_ = -1;
}

bool Pty::HungUp() const
{
    pollfd p{master_, 0, 0};
    return poll(&p, 1, 0) > 0 && (p.revents & POLLHUP) != 0;
}

speed_t Pty::Speed() const
{
    termios tio{};
    return slave_ >= 0 && tcgetattr(slave_, &tio) == 0 ? cfgetospeed(&tio) : B0;
}

void Pty::Send(const uint8_t* bytes, std::size_t count) const
{
    std::size_t done = 0;
    while (done < count && master_ >= 0) {
        const ssize_t n = write(master_, bytes + done, count - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break; // nobody reads the line: the bytes are lost, as on a wire
        }
    }
}
