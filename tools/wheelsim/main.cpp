// wheelsim: the wheel board on a pseudo-terminal. Prints the path of its
// pty (and links it where --link says), answers the board protocol, logs
// every frame it receives and runs until SIGTERM or SIGINT. Opened at 1200
// baud and closed, it restarts, or shows its AVR109 boot loader on a pty of
// its own and comes back with the firmware written there.
#include "BoardChaos.h"
#include "BoardModel.h"
#include "BootLoader.h"
#include "FrameLog.h"
#include "SimOptions.h"
#include "SimRun.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <poll.h>
#include <unistd.h>

namespace {

constexpr int TraceLevelParam = 16;
constexpr double FrameGapMs = 100.0; // a frame not completed within this is dropped
constexpr int LoopMs = 5;
constexpr double ChatterMs = 5.0;
constexpr int GarbageBurst = 24;

class Simulator {
public:
    Simulator(const SimOptions& options, Pty& pty, FrameLog& log, BootLoader& loader)
        : options_(options), pty_(pty), log_(log), loader_(loader), model_(options), chaos_(BoardChaos(options)), start_(NowMs())
    {
        model_.SetFirmwareVersion(loader_.Version(options_.firmwareVersion));
    }

    // False when a pty for the boot loader or the returning board could
    // not be made.
    bool Run()
    {
        double nextTrace = Elapsed();
        while (!StopRequested() && !failed_) {
            if (retired_ && retired_->HungUp()) retired_.reset();
            if (bootPty_) {
                RunBootLoader();
                continue;
            }
            if (chaos_.On() && chaos_.Follow(Elapsed())) ChaosChanged();
            if (!pty_.Open()) {
                // Unplugged by the chaos until it comes back; else for good.
                if (chaos_.On()) SleepMs(LoopMs);
                else pause();
                continue;
            }
            pollfd p{pty_.Master(), POLLIN, 0};
            const int ready = poll(&p, 1, LoopMs);
            WatchSpeed();
            if (resetting_ && ready > 0 && (p.revents & POLLHUP)) {
                ShowBootLoader();
                continue;
            }
            if (ready > 0 && (p.revents & POLLIN)) Receive();
            if (chaos_.Fault() == board_chaos::Chatter && Elapsed() >= nextChatter_) {
                const uint8_t noise = Noise();
                pty_.Send(&noise, 1);
                nextChatter_ = Elapsed() + ChatterMs;
            }
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
        if (bootPty_) unlink(BootLinkPath().c_str());
        return !failed_;
    }

private:
    double Elapsed() const { return NowMs() - start_; }

    // A fault of the chaos ended or began: logged, and the port unplugged
    // or plugged in again, a garbage burst sent.
    void ChaosChanged()
    {
        if (chaos_.Ended() >= 0) {
            log_.WriteEvent(Elapsed(), "fault", {{"kind", chaos_.Name(chaos_.Ended())}, {"phase", "end"}});
            if (chaos_.Ended() == board_chaos::Disconnect) PlugIn();
        }
        if (chaos_.Began() < 0) return;
        log_.WriteEvent(Elapsed(), "fault", {{"kind", chaos_.Name(chaos_.Began())}, {"phase", "start"}});
        if (chaos_.Began() == board_chaos::Disconnect) Disconnect();
        if (chaos_.Began() == board_chaos::Garbage && pty_.Open()) {
            uint8_t burst[GarbageBurst];
            for (uint8_t& byte : burst) byte = Noise();
            pty_.Send(burst, sizeof burst);
        }
    }

    // The board back on its link with a new port, started afresh.
    void PlugIn()
    {
        if (!pty_.Create(B115200) || !LinkPty(pty_, options_.linkPath)) {
            std::fprintf(stderr, "wheelsim: the board cannot come back at %s\n", options_.linkPath.c_str());
            failed_ = true;
            return;
        }
        model_.Restart();
        model_.DropPartial();
        lastSpeed_ = B115200;
        log_.WriteEvent(Elapsed(), "return", {{"pty", pty_.Path()}});
    }
    bool Quiet() const { return Elapsed() < quietUntil_; }

    // The program's 1200-baud open restarts the board, or, when the boot
    // loader is to be shown, readies it for the close that starts it: the
    // simulator lets go of the line, so that close is a hang-up.
    void WatchSpeed()
    {
        const speed_t speed = pty_.Speed();
        if (speed == B1200 && lastSpeed_ != B1200) {
            if (options_.BootLoaderShown()) {
                pty_.ReleaseLine();
                resetting_ = true;
            } else {
                log_.WriteEvent(Elapsed(), "restart");
                model_.Restart();
                model_.DropPartial();
                quietUntil_ = Elapsed() + options_.restartMs;
            }
        }
        lastSpeed_ = speed;
    }

    const std::string& BootLinkPath() const { return options_.bootSamePort ? options_.linkPath : options_.bootLink; }

    // The board's port goes and the boot loader's comes.
    void ShowBootLoader()
    {
        resetting_ = false;
        if (!options_.linkPath.empty()) unlink(options_.linkPath.c_str());
        pty_.Close();
        model_.DropPartial();
        bootPty_ = std::make_unique<Pty>();
        if (!bootPty_->Create(B57600) || !LinkPty(*bootPty_, BootLinkPath())) {
            std::fprintf(stderr, "wheelsim: no boot loader port at %s\n", BootLinkPath().c_str());
            failed_ = true;
            return;
        }
        log_.WriteEvent(Elapsed(), "bootloader", {{"port", BootLinkPath()}, {"pty", bootPty_->Path()}});
        loader_.Begin();
        lastBootByte_ = Elapsed();
        bootCommands_ = 0;
    }

    void RunBootLoader()
    {
        pollfd p{bootPty_->Master(), POLLIN, 0};
        if (poll(&p, 1, LoopMs) > 0 && (p.revents & POLLIN)) {
            uint8_t buffer[512];
            const ssize_t n = read(bootPty_->Master(), buffer, sizeof buffer);
            if (n > 0) {
                lastBootByte_ = Elapsed();
                TakeBootBytes(buffer, static_cast<std::size_t>(n));
            }
        }
        if (bootPty_ && Elapsed() - lastBootByte_ > options_.bootMs) EndBootLoader("timeout");
    }

    void TakeBootBytes(const uint8_t* bytes, std::size_t count)
    {
        for (std::size_t i = 0; i < count && bootPty_; ++i) {
            if (options_.bootStopAfter >= 0 && bootCommands_ >= options_.bootStopAfter) {
                log_.WriteEvent(lastBootByte_, "ignored", std::vector<uint8_t>(bytes + i, bytes + count));
                return;
            }
            std::vector<uint8_t> reply;
            Avr109Command command;
            if (!loader_.Feed(bytes[i], reply, command)) continue;
            ++bootCommands_;
            bootPty_->Send(reply.data(), reply.size());
            log_.WriteCommand(lastBootByte_, command);
            if (command.code == 'E') EndBootLoader("exit");
        }
    }

    // The boot loader's port goes and the board comes back running the
    // image in flash. A pty cannot be pulled from under a program that
    // holds it (it would read end-of-file for ever): it is retired, silent
    // and unlinked, until the program closes it.
    void EndBootLoader(const char* reason)
    {
        log_.WriteEvent(Elapsed(), "boot-exit", {{"reason", reason}});
        if (!options_.flashOut.empty()) {
            if (loader_.SaveFlash(options_.flashOut)) {
                log_.WriteEvent(Elapsed(), "flash-out", {{"file", options_.flashOut}});
            } else {
                std::fprintf(stderr, "wheelsim: cannot write %s\n", options_.flashOut.c_str());
            }
        }
        if (!BootLinkPath().empty()) unlink(BootLinkPath().c_str());
        bootPty_->ReleaseLine();
        retired_ = std::move(bootPty_);
        if (options_.bootNeverReturn) return;
        if (!pty_.Create(B115200) || !LinkPty(pty_, options_.linkPath)) {
            std::fprintf(stderr, "wheelsim: the board cannot come back at %s\n", options_.linkPath.c_str());
            failed_ = true;
            return;
        }
        model_.Restart();
        model_.SetFirmwareVersion(loader_.Version(options_.firmwareVersion));
        lastSpeed_ = B115200;
        log_.WriteEvent(Elapsed(), "return", {{"pty", pty_.Path()}});
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
        const SimOptions& live = chaos_.Live();
        if (live.echo && !live.silent) pty_.Send(buffer, static_cast<std::size_t>(n));
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
        if (!reply.empty() && !chaos_.Live().silent && !chaos_.Live().echo) Reply(frame, reply);
        log_.WriteFrame(received, frame);
    }

    void Reply(const Frame& frame, const std::vector<uint8_t>& reply)
    {
        const SimOptions& live = chaos_.Live();
        SleepMs(live.slowMs);
        std::vector<uint8_t> out;
        if (frame.kind == Frame::Probe) {
            out.assign(live.debugText.begin(), live.debugText.end());
            for (int i = 0; i < live.garbageBytes; ++i) out.push_back(Noise());
        }
        // A byte short or a byte long while the chaos says so.
        const bool cut = chaos_.Fault() == board_chaos::Short && !reply.empty();
        out.insert(out.end(), reply.begin(), reply.end() - (cut ? 1 : 0));
        if (chaos_.Fault() == board_chaos::Overlong) out.push_back(Noise());
        const std::size_t piece = live.splitBytes > 0 ? static_cast<std::size_t>(live.splitBytes) : out.size();
        for (std::size_t at = 0; at < out.size(); at += piece) {
            if (at > 0) SleepMs(live.splitPauseMs);
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
    // value high byte first; the first frame is the one asked for, if any.
    // With --trace-sine: the torque of a sine of that period, an effect
    // created every 3 s and an error every 7 s instead.
    void SendTrace()
    {
        if (!options_.traceFrame.empty() && traceCount_ == 0) {
            const std::vector<uint8_t>& asked = options_.traceFrame;
            const uint8_t frame[5] = {'#', asked[0], asked[1], asked[2], asked[3]};
            pty_.Send(frame, sizeof frame);
            ++traceCount_;
            return;
        }
        int kind = traceCount_ % 4, number = traceCount_ * 37 - 500;
        if (options_.traceSine > 0) {
            const double at = Elapsed();
            kind = CrossedEvery(at, 7000) ? 2 : CrossedEvery(at, 3000) ? 1 : 0;
            number = kind == 0 ? static_cast<int>(std::lround(TraceAmplitude * std::sin(2 * M_PI * at / options_.traceSine))) : 0;
        }
        lastTraceMs_ = Elapsed();
        const auto value = static_cast<uint16_t>(static_cast<int16_t>(number));
        const uint8_t frame[5] = {'#', static_cast<uint8_t>(kind), static_cast<uint8_t>(traceCount_ & 0xff),
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
    BootLoader& loader_;
    BoardModel model_;
    ChaosOptions<SimOptions> chaos_;
    double nextChatter_ = 0;
    std::unique_ptr<Pty> bootPty_; // the boot loader's port while it runs
    std::unique_ptr<Pty> retired_;  // its last port, until the program closes it
    double start_;
    double lastByte_ = 0;
    double quietUntil_ = 0;
    speed_t lastSpeed_ = B115200;
    int frames_ = 0;
    uint32_t noise_ = 1;
    int traceCount_ = 0;
    double lastTraceMs_ = 0; // when the last trace frame went

    static constexpr double TraceAmplitude = 20000;
    // Whether a multiple of the period passed since the last trace frame.
    bool CrossedEvery(double at, double period) const
    {
        return std::floor(at / period) > std::floor(lastTraceMs_ / period);
    }
    bool resetting_ = false; // opened at 1200 baud: the close starts the boot loader
    bool failed_ = false;
    double lastBootByte_ = 0;
    int bootCommands_ = 0;
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

    FrameLog log;
    if (!options.logPath.empty() && !log.Open(options.logPath)) {
        std::fprintf(stderr, "wheelsim: cannot write %s\n", options.logPath.c_str());
        return 1;
    }
    BootLoader loader;
    if (!options.flashIn.empty() && !loader.LoadFlash(options.flashIn)) {
        std::fprintf(stderr, "wheelsim: cannot read a flash image of at most 32 KiB from %s\n", options.flashIn.c_str());
        return 1;
    }
    bool ran = true;
    const int status = RunOnPty("wheelsim", B115200, options.linkPath,
                                [&](Pty& pty) { ran = Simulator(options, pty, log, loader).Run(); });
    return ran ? status : 1;
}
