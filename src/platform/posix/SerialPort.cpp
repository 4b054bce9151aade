#include "platform/SerialPort.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

uint64_t NowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec / 1000000);
}

int Fd(SerialHandle handle) { return static_cast<int>(handle); }

speed_t SpeedOf(uint32_t baud)
{
    switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 921600: return B921600;
    default: return B0;
    }
}

// Raw 8N1 without flow control; a rate the system does not know leaves the
// speed as it was (the line settings are best effort, as SetCommState is).
void SetLine(int fd, uint32_t baud)
{
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return;
    cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (const speed_t speed = SpeedOf(baud); speed != B0) {
        cfsetispeed(&tio, speed);
        cfsetospeed(&tio, speed);
    }
    tcsetattr(fd, TCSANOW, &tio);
    int dtr = TIOCM_DTR;
    int rts = TIOCM_RTS;
    ioctl(fd, TIOCMBIS, &dtr);
    ioctl(fd, TIOCMBIC, &rts);
}

// Waits until the descriptor has bytes, up to timeoutMs; false on time-out,
// hang-up or error.
bool WaitReadable(int fd, int timeoutMs)
{
    pollfd p{fd, POLLIN, 0};
    int r = 0;
    do {
        r = poll(&p, 1, timeoutMs);
    } while (r < 0 && errno == EINTR);
    return r > 0 && (p.revents & POLLIN) != 0;
}

bool WaitWritable(int fd, int timeoutMs)
{
    pollfd p{fd, POLLOUT, 0};
    int r = 0;
    do {
        r = poll(&p, 1, timeoutMs);
    } while (r < 0 && errno == EINTR);
    return r > 0 && (p.revents & POLLOUT) != 0;
}

} // namespace

std::string SerialDeviceName(uint8_t port)
{
    std::string dir;
    if (const char* env = std::getenv("VANTOR_DOSDEVICES"); env && *env) {
        dir = env;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        dir = std::string(home) + "/.vantor/dosdevices";
    }
    if (!dir.empty()) {
        char name[32];
        std::snprintf(name, sizeof name, "/com%u", static_cast<unsigned>(port));
        const std::string link = dir + name;
        struct stat st{};
        if (lstat(link.c_str(), &st) == 0) return link;
    }
    char device[32];
    std::snprintf(device, sizeof device, "/dev/ttyS%d", static_cast<int>(port) - 1);
    return device;
}

SerialHandle SerialOpen(uint8_t port, uint32_t baud)
{
    const std::string name = SerialDeviceName(port);
    const int fd = open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return InvalidSerialHandle;
    // Not shared: a second handle on the same device cannot be had while
    // this one is open.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || !isatty(fd)) {
        close(fd);
        return InvalidSerialHandle;
    }
    SetLine(fd, baud);
    return fd;
}

bool SerialClose(SerialHandle handle) { return close(Fd(handle)) == 0; }

uint32_t SerialWrite(SerialHandle handle, const uint8_t* bytes, uint32_t count)
{
    const int fd = Fd(handle);
    const uint64_t deadline = NowMs() + SerialWriteTotalConstant + uint64_t{SerialWriteTotalMultiplier} * count;
    uint32_t done = 0;
    while (done < count) {
        const ssize_t n = write(fd, bytes + done, count - done);
        if (n > 0) {
            done += static_cast<uint32_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) break;
        const uint64_t now = NowMs();
        if (now >= deadline || !WaitWritable(fd, static_cast<int>(deadline - now))) break;
    }
    return done;
}

uint32_t SerialReadOnce(SerialHandle handle, uint8_t* buffer, uint32_t count)
{
    const int fd = Fd(handle);
    const uint64_t deadline = NowMs() + SerialReadTotalConstant + uint64_t{SerialReadTotalMultiplier} * count;
    uint64_t lastByte = 0;
    uint32_t got = 0;
    while (got < count) {
        const uint64_t now = NowMs();
        uint64_t until = deadline;
        if (got > 0 && lastByte + SerialReadInterval < until) until = lastByte + SerialReadInterval;
        const ssize_t n = read(fd, buffer + got, count - got);
        if (n > 0) {
            got += static_cast<uint32_t>(n);
            lastByte = NowMs();
            continue;
        }
        // A raw line without VMIN reads 0 when it is empty; a hung-up line
        // shows in poll.
        if (n < 0 && errno != EAGAIN && errno != EINTR) break;
        if (now >= until || !WaitReadable(fd, static_cast<int>(until - now))) break;
    }
    return got;
}

uint32_t SerialBytesWaiting(SerialHandle handle)
{
    int queued = 0;
    if (ioctl(Fd(handle), FIONREAD, &queued) != 0 || queued < 0) return 0;
    return static_cast<uint32_t>(queued);
}

void SerialPurge(SerialHandle handle) { tcflush(Fd(handle), TCIOFLUSH); }

void SerialDropInput(SerialHandle handle) { tcflush(Fd(handle), TCIFLUSH); }

void SerialSetLines(SerialHandle handle, bool on)
{
    const int fd = Fd(handle);
    int dtr = TIOCM_DTR;
    int rts = TIOCM_RTS;
    if (on) {
        ioctl(fd, TIOCMBIS, &dtr);
        ioctl(fd, TIOCMBIS, &rts);
        ioctl(fd, TIOCCBRK);
    } else {
        ioctl(fd, TIOCMBIC, &dtr);
        ioctl(fd, TIOCMBIC, &rts);
        ioctl(fd, TIOCSBRK);
    }
}
