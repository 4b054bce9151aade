// wheelsim: the wheel board on a pseudo-terminal. Prints the path of its
// pty (and links it where --link says), answers the board protocol, logs
// every frame it receives and runs until SIGTERM or SIGINT.
#include "BoardModel.h"
#include "FrameLog.h"
#include "SimOptions.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnStop(int) { g_stop = 1; }

constexpr int TraceLevelParam = 16;
constexpr double FrameGapMs = 100.0; // a frame not completed within this is dropped
constexpr int LoopMs = 5;

double NowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

void SleepMs(int ms)
{
    if (ms <= 0) return;
    timespec wait{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
    while (!g_stop && nanosleep(&wait, &wait) != 0 && errno == EINTR) {
    }
}

class Pty {
public:
    ~Pty() { Close(); }

    bool Create()
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
            cfsetispeed(&tio, B115200);
            cfsetospeed(&tio, B115200);
            tcsetattr(slave_, TCSANOW, &tio);
        }
        return true;
    }

    void Close()
    {
        if (slave_ >= 0) close(slave_);
        if (master_ >= 0) close(master_);
        slave_ = master_ = -1;
    }

    bool Open() const { return master_ >= 0; }
    int Master() const { return master_; }
    const std::string& Path() const { return path_; }

    speed_t Speed() const
    {
        termios tio{};
        return slave_ >= 0 && tcgetattr(slave_, &tio) == 0 ? cfgetospeed(&tio) : B0;
    }

    void Send(const uint8_t* bytes, std::size_t count) const
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

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

class Simulator {
public:
    Simulator(const SimOptions& options, Pty& pty, FrameLog& log)
        : options_(options), pty_(pty), log_(log), model_(options), start_(NowMs())
    {
    }

    void Run()
    {
        double nextTrace = Elapsed();
        while (!g_stop) {
            if (!pty_.Open()) {
                pause();
                continue;
            }
            pollfd p{pty_.Master(), POLLIN, 0};
            const int ready = poll(&p, 1, LoopMs);
            WatchSpeed();
            if (ready > 0 && (p.revents & POLLIN)) Receive();
            if (pty_.Open() && model_.InFrame() && Elapsed() - lastByte_ > FrameGapMs) {
                log_.WriteEvent(Elapsed(), "dropped", model_.DropPartial());
            }
            if (pty_.Open() && model_.Value(TraceLevelParam) > 0 && !Quiet()) {
                if (Elapsed() >= nextTrace) {
                    SendTrace();
                    nextTrace = Elapsed() + options_.traceMs;
                }
            } else {
                nextTrace = Elapsed();
            }
        }
    }

private:
    double Elapsed() const { return NowMs() - start_; }
    bool Quiet() const { return Elapsed() < quietUntil_; }

    // The program's 1200-baud open restarts the board.
    void WatchSpeed()
    {
        const speed_t speed = pty_.Speed();
        if (speed == B1200 && lastSpeed_ != B1200) {
            log_.WriteEvent(Elapsed(), "restart");
            model_.Restart();
            model_.DropPartial();
            quietUntil_ = Elapsed() + options_.restartMs;
        }
        lastSpeed_ = speed;
    }

    void Receive()
    {
        uint8_t buffer[512];
        const ssize_t n = read(pty_.Master(), buffer, sizeof buffer);
        if (n <= 0) return;
        lastByte_ = Elapsed();
        if (Quiet()) {
            log_.WriteEvent(lastByte_, "ignored", std::vector<uint8_t>(buffer, buffer + n));
            return;
        }
        if (options_.echo && !options_.silent) pty_.Send(buffer, static_cast<std::size_t>(n));
        for (ssize_t i = 0; i < n && pty_.Open(); ++i) {
            Frame frame;
            if (model_.Feed(buffer[i], frame)) Handle(frame);
        }
    }

    void Handle(const Frame& frame)
    {
        const double received = Elapsed();
        // The frame after the last one answered finds the board gone.
        if (options_.disconnectAfter >= 0 && frames_ >= options_.disconnectAfter) {
            log_.WriteFrame(received, frame);
            Disconnect();
            return;
        }
        ++frames_;
        // The answer goes out before the log line is written, so a slow
        // disk never makes a slow board.
        const std::vector<uint8_t> reply = model_.Answer(frame);
        if (!reply.empty() && !options_.silent && !options_.echo) Reply(frame, reply);
        log_.WriteFrame(received, frame);
    }

    void Reply(const Frame& frame, const std::vector<uint8_t>& reply)
    {
        SleepMs(options_.slowMs);
        std::vector<uint8_t> out;
        if (frame.kind == Frame::Probe) {
            out.assign(options_.debugText.begin(), options_.debugText.end());
            for (int i = 0; i < options_.garbageBytes; ++i) out.push_back(Noise());
        }
        out.insert(out.end(), reply.begin(), reply.end());
        const std::size_t piece = options_.splitBytes > 0 ? static_cast<std::size_t>(options_.splitBytes) : out.size();
        for (std::size_t at = 0; at < out.size(); at += piece) {
            if (at > 0) SleepMs(options_.splitPauseMs);
            const std::size_t count = out.size() - at < piece ? out.size() - at : piece;
            pty_.Send(out.data() + at, count);
        }
    }

    // Noise that never holds the first letter of the answer.
    uint8_t Noise()
    {
        noise_ = noise_ * 1103515245u + 12345u;
        const auto byte = static_cast<uint8_t>(noise_ >> 16);
        return byte == 'I' ? uint8_t{'?'} : byte;
    }

    // '#', kind, an unsigned byte (the frame count), then a signed 16-bit
    // value high byte first.
    void SendTrace()
    {
        const auto value = static_cast<uint16_t>(static_cast<int16_t>(traceCount_ * 37 - 500));
        const uint8_t frame[5] = {'#', static_cast<uint8_t>(traceCount_ % 4), static_cast<uint8_t>(traceCount_ & 0xff),
                                  static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value & 0xff)};
        pty_.Send(frame, sizeof frame);
        ++traceCount_;
    }

    void Disconnect()
    {
        log_.WriteEvent(Elapsed(), "disconnect");
        if (!options_.linkPath.empty()) unlink(options_.linkPath.c_str());
        pty_.Close();
    }

    const SimOptions& options_;
    Pty& pty_;
    FrameLog& log_;
    BoardModel model_;
    double start_;
    double lastByte_ = 0;
    double quietUntil_ = 0;
    speed_t lastSpeed_ = B115200;
    int frames_ = 0;
    uint32_t noise_ = 1;
    int traceCount_ = 0;
};

} // namespace

int main(int argc, char** argv)
{
    SimOptions options;
    std::string error;
    if (!ParseSimOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "wheelsim: %s\n%s", error.c_str(), SimUsage());
        return 2;
    }

    struct sigaction stop{};
    stop.sa_handler = OnStop;
    sigemptyset(&stop.sa_mask);
    sigaction(SIGTERM, &stop, nullptr);
    sigaction(SIGINT, &stop, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    FrameLog log;
    if (!options.logPath.empty() && !log.Open(options.logPath)) {
        std::fprintf(stderr, "wheelsim: cannot write %s\n", options.logPath.c_str());
        return 1;
    }
    Pty pty;
    if (!pty.Create()) {
        std::fprintf(stderr, "wheelsim: no pseudo-terminal\n");
        return 1;
    }
    if (!options.linkPath.empty()) {
        unlink(options.linkPath.c_str());
        if (symlink(pty.Path().c_str(), options.linkPath.c_str()) != 0) {
            std::fprintf(stderr, "wheelsim: cannot link %s\n", options.linkPath.c_str());
            return 1;
        }
    }
    std::printf("%s\n", pty.Path().c_str());
    std::fflush(stdout);

    Simulator(options, pty, log).Run();

    if (!options.linkPath.empty()) unlink(options.linkPath.c_str());
    return 0;
}
