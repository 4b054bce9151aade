#include "platform/SerialPort.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <unordered_map>

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
// speed as it was. LineSettings when the line cannot be read, LineApply
// when the new settings are refused.
SerialOpenFault SetLine(int fd, uint32_t baud)
{
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return SerialOpenFault::LineSettings;
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
    return tcsetattr(fd, TCSANOW, &tio) == 0 ? SerialOpenFault::None : SerialOpenFault::LineApply;
}

// The board's lines: DTR on, RTS off.
void SetBoardLines(int fd)
{
    int dtr = TIOCM_DTR;
    int rts = TIOCM_RTS;
    ioctl(fd, TIOCMBIS, &dtr);
    ioctl(fd, TIOCMBIC, &rts);
}

// The time-outs of each open descriptor, as the driver keeps them on Windows.
std::mutex g_timeoutsLock;
std::unordered_map<int, SerialTimeouts> g_timeouts;

void KeepTimeouts(int fd, const SerialTimeouts& timeouts)
{
    const std::lock_guard<std::mutex> hold(g_timeoutsLock);
    g_timeouts[fd] = timeouts;
}

SerialTimeouts TimeoutsOf(int fd)
{
    const std::lock_guard<std::mutex> hold(g_timeoutsLock);
    const auto found = g_timeouts.find(fd);
    return found != g_timeouts.end() ? found->second : BoardTimeouts;
}

// Opens the device not shared with any other handle: a second handle on
// the same device cannot be had while this one is open.
int OpenDevice(const char* path)
{
    const int fd = open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || !isatty(fd)) {
        close(fd);
        return -1;
    }
    return fd;
}

// Sleeps in poll until the descriptor has bytes, up to timeoutMs; false on
// time-out, hang-up or error. A hung-up terminal polls readable for ever
// while it has nothing to read, so a hang-up ends the wait.
bool WaitReadable(int fd, uint32_t timeoutMs)
{
    const uint64_t deadline = NowMs() + timeoutMs;
    pollfd p{fd, POLLIN, 0};
    int r = 0;
    for (uint64_t left = timeoutMs;;) {
        r = poll(&p, 1, static_cast<int>(left < INT32_MAX ? left : INT32_MAX));
        if (r >= 0 || errno != EINTR) break;
        const uint64_t now = NowMs();
        left = now < deadline ? deadline - now : 0;
    }
    return r > 0 && (p.revents & POLLIN) != 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) == 0;
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

// The link "com<port>" of the COM port directory, whether it is there or
// not; "" when there is no directory to look in.
std::string ComLink(uint8_t port)
{
    std::string dir;
    if (const char* env = std::getenv("VANTOR_DOSDEVICES"); env && *env) {
        dir = env;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        dir = std::string(home) + "/.vantor/dosdevices";
    }
    if (dir.empty()) return dir;
    return dir + "/com" + std::to_string(port);
}

bool LinkThere(const std::string& link)
{
    struct stat st{};
    return !link.empty() && lstat(link.c_str(), &st) == 0;
}

// Devices the program's user named, by the COM number standing for each.
std::map<uint8_t, std::string> g_assigned;

} // namespace

std::string SerialDeviceName(uint8_t port)
{
    if (const auto found = g_assigned.find(port); found != g_assigned.end()) return found->second;
    if (const std::string link = ComLink(port); LinkThere(link)) return link;
    char device[32];
    std::snprintf(device, sizeof device, "/dev/ttyS%d", static_cast<int>(port) - 1);
    return device;
}

uint8_t SerialPortOfDevice(const std::string& device)
{
    struct stat wanted{};
    if (stat(device.c_str(), &wanted) != 0) return 0;
    uint8_t free = 0;
    for (int n = 1; n <= 255; ++n) {
        const auto port = static_cast<uint8_t>(n);
        struct stat st{};
        if (stat(SerialDeviceName(port).c_str(), &st) == 0 && st.st_dev == wanted.st_dev && st.st_ino == wanted.st_ino)
            return port;
        if (free == 0 && !LinkThere(ComLink(port)) && g_assigned.count(port) == 0) free = port;
    }
    if (free != 0) g_assigned[free] = device;
    return free;
}

std::string ProgramPortName(uint8_t port) { return SerialDeviceName(port); }

SerialHandle SerialOpen(uint8_t port, uint32_t baud)
{
    const int fd = OpenDevice(SerialDeviceName(port).c_str());
    if (fd < 0) return InvalidSerialHandle;
    SetLine(fd, baud); // best effort, as SetCommState is for the board
    SetBoardLines(fd);
    KeepTimeouts(fd, BoardTimeouts);
    return fd;
}

SerialHandle SerialOpenNamed(const char* name, uint32_t baud, const SerialTimeouts& timeouts, SerialOpenFault& fault)
{
    std::string path = name;
    if (std::strncmp(name, "COM", 3) == 0) {
        char* end = nullptr;
        const long port = std::strtol(name + 3, &end, 10);
        if (end == name + 3 || *end != '\0' || port < 1 || port > 255) {
            fault = SerialOpenFault::Device;
            return InvalidSerialHandle;
        }
        path = SerialDeviceName(static_cast<uint8_t>(port));
    }
    const int fd = OpenDevice(path.c_str());
    if (fd < 0) {
        fault = SerialOpenFault::Device;
        return InvalidSerialHandle;
    }
    fault = SetLine(fd, baud);
    if (fault != SerialOpenFault::None) {
        close(fd);
        return InvalidSerialHandle;
    }
    KeepTimeouts(fd, timeouts);
    return fd;
}

bool SerialClose(SerialHandle handle)
{
    {
        const std::lock_guard<std::mutex> hold(g_timeoutsLock);
        g_timeouts.erase(Fd(handle));
    }
    return close(Fd(handle)) == 0;
}

uint32_t SerialWrite(SerialHandle handle, const uint8_t* bytes, uint32_t count)
{
    const int fd = Fd(handle);
    const SerialTimeouts timeouts = TimeoutsOf(fd);
    const uint64_t deadline = NowMs() + timeouts.writeTotalConstant + uint64_t{timeouts.writeTotalMultiplier} * count;
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
    const SerialTimeouts timeouts = TimeoutsOf(fd);
    const uint64_t deadline = NowMs() + timeouts.readTotalConstant + uint64_t{timeouts.readTotalMultiplier} * count;
    uint64_t lastByte = 0;
    uint32_t got = 0;
    while (got < count) {
        const uint64_t now = NowMs();
        uint64_t until = deadline;
        if (got > 0 && timeouts.readInterval > 0 && lastByte + timeouts.readInterval < until) {
            until = lastByte + timeouts.readInterval;
        }
        const ssize_t n = read(fd, buffer + got, count - got);
        if (n > 0) {
            got += static_cast<uint32_t>(n);
            lastByte = NowMs();
            continue;
        }
        // A raw line without VMIN reads 0 when it is empty; a hung-up line
        // shows in poll.
        if (n < 0 && errno != EAGAIN && errno != EINTR) break;
        if (now >= until || !WaitReadable(fd, static_cast<uint32_t>(until - now))) break;
    }
    return got;
}

uint32_t SerialBytesWaiting(SerialHandle handle)
{
    int queued = 0;
    if (ioctl(Fd(handle), FIONREAD, &queued) != 0 || queued < 0) return 0;
    return static_cast<uint32_t>(queued);
}

bool SerialWaitInput(SerialHandle handle, uint32_t ms) { return WaitReadable(Fd(handle), ms); }

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
