// drivesim: a SimpleMotion V2 servo drive node on a pseudo-terminal. Prints
// the path of its pty (and links it where --link says), answers the
// requests addressed to its node, logs every request it receives and runs
// until SIGTERM or SIGINT.
#include "DriveChaos.h"
#include "DriveLog.h"
#include "DriveModel.h"
#include "DriveOptions.h"
#include "SimRun.h"

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include <poll.h>
#include <unistd.h>

namespace {

constexpr double RequestGapMs = 100.0;               // a request not completed within this is dropped
constexpr double ByteMs = 10.0 * 1000.0 / 460800.0; // start, 8 data and stop bits at 460800 baud
constexpr double ChatterMs = 1.0;
constexpr uint8_t ChatterByte = 0xff;

class Simulator {
public:
    Simulator(const DriveOptions& options, Pty& pty, DriveLog& log)
        : options_(options), pty_(pty), log_(log), model_(options), chaos_(DriveChaos(options)), start_(NowMs())
    {
    }

    // Sleeps in ppoll() until bytes come or a time runs out; the stop
    // signals are let in only there, so none is lost between the check and
    // the wait.
    void Run()
    {
        sigset_t stops, waiting;
        sigemptyset(&stops);
        sigaddset(&stops, SIGTERM);
        sigaddset(&stops, SIGINT);
        sigprocmask(SIG_BLOCK, &stops, &waiting);
        while (!StopRequested()) {
            double waitMs = std::numeric_limits<double>::infinity();
            if (model_.InRequest()) waitMs = lastByte_ + RequestGapMs - Elapsed();
            if (chattering_) waitMs = std::min(waitMs, nextChatter_ - Elapsed());
            if (chaos_.On()) waitMs = std::min(waitMs, chaos_.NextChange() - Elapsed());
            const bool forever = std::isinf(waitMs);
            const timespec wait = ToTimespec(forever ? 0.0 : waitMs);
            pollfd p{pty_.Open() ? pty_.Master() : -1, POLLIN, 0};
            const int ready = ppoll(&p, 1, forever ? nullptr : &wait, &waiting);
            if (chaos_.Follow(Elapsed())) ChaosChanged();
            if (!pty_.Open()) continue;
            if (ready > 0 && (p.revents & POLLIN)) Receive();
            if (model_.InRequest() && Elapsed() - lastByte_ >= RequestGapMs) {
                log_.WriteEvent(Elapsed(), "dropped", model_.DropPartial());
            }
            if (chattering_ && Elapsed() >= nextChatter_) {
                pty_.Send(&ChatterByte, 1);
                nextChatter_ = Elapsed() + ChatterMs;
            }
        }
    }

private:
    double Elapsed() const { return NowMs() - start_; }

    // A fault of the chaos ended or began: logged, the chatter started or
    // stopped, the port unplugged or plugged in again.
    void ChaosChanged()
    {
        chattering_ = chaos_.Fault() == drive_chaos::Chatter;
        nextChatter_ = Elapsed();
        if (chaos_.Ended() >= 0) {
            log_.WriteEvent(Elapsed(), "fault", {{"kind", chaos_.Name(chaos_.Ended())}, {"phase", "end"}});
            if (chaos_.Ended() == drive_chaos::Disconnect) PlugIn();
        }
        if (chaos_.Began() < 0) return;
        log_.WriteEvent(Elapsed(), "fault", {{"kind", chaos_.Name(chaos_.Began())}, {"phase", "start"}});
        if (chaos_.Began() != drive_chaos::Disconnect) return;
        if (!options_.linkPath.empty()) unlink(options_.linkPath.c_str());
        pty_.Close();
    }

    // The adapter back on its link with a new port.
    void PlugIn()
    {
        model_.DropPartial();
        if (pty_.Create(B460800) && LinkPty(pty_, options_.linkPath)) {
            log_.WriteEvent(Elapsed(), "return", {{"pty", pty_.Path()}});
            return;
        }
        std::fprintf(stderr, "drivesim: the drive cannot come back at %s\n", options_.linkPath.c_str());
        RequestStop();
    }

    void Receive()
    {
        uint8_t buffer[512];
        const ssize_t n = read(pty_.Master(), buffer, sizeof buffer);
        if (n <= 0) return;
        lastByte_ = Elapsed();
        for (ssize_t i = 0; i < n; ++i) {
            DriveRequest request;
            const DriveModel::Fed fed = model_.Feed(buffer[i], request);
            if (fed == DriveModel::Fed::Stray) log_.WriteEvent(lastByte_, "dropped", request.bytes);
            if (fed == DriveModel::Fed::Request) Handle(request);
        }
    }

    // The reply goes out before the log line is written, so a slow disk
    // never makes a slow drive.
    void Handle(DriveRequest& request)
    {
        const double received = Elapsed();
        if (!request.error) {
            const DriveOptions& live = chaos_.Live();
            model_.Execute(request);
            const bool faulty = live.faults < 0 || replies_ < live.faults;
            ++replies_;
            if (!live.silent) {
                HoldIfLate(request);
                Send(model_.Reply(request.returns, faulty ? live.fault : DriveFault::None), request.bytes.size());
                if (faulty && live.fault == DriveFault::Chatter && !chattering_) {
                    chattering_ = true; // from now on, until the end
                    nextChatter_ = Elapsed() + ChatterMs;
                }
            }
        }
        log_.WriteRequest(received, request);
    }

    // A drive busy with a request on the late parameter (read or written)
    // answers it only after the time asked for, and reads nothing meanwhile.
    void HoldIfLate(const DriveRequest& request)
    {
        const DriveOptions& live = chaos_.Live();
        const bool onIt = live.lateParam == EveryParam ||
                          (live.lateParam >= 0 && (request.readParam == live.lateParam || request.writeParam == live.lateParam));
        if (!onIt || (lateDone_ && !live.lateEvery)) return;
        lateDone_ = true;
        SleepMs(live.lateMs);
    }

    // Paced, the reply comes when the request and the reply would both have
    // crossed a real line.
    void Send(const std::vector<uint8_t>& reply, std::size_t requestBytes) const
    {
        const DriveOptions& live = chaos_.Live();
        if (live.paced) SleepMs(ByteMs * static_cast<double>(requestBytes + reply.size()));
        if (live.splitPauseMs < 0) {
            pty_.Send(reply.data(), reply.size());
            return;
        }
        for (std::size_t i = 0; i < reply.size(); ++i) {
            if (i > 0) SleepMs(live.splitPauseMs);
            pty_.Send(&reply[i], 1);
        }
    }

    const DriveOptions& options_;
    Pty& pty_;
    DriveLog& log_;
    DriveModel model_;
    ChaosOptions<DriveOptions> chaos_;
    double start_;
    double lastByte_ = 0;
    int replies_ = 0;
    bool chattering_ = false;
    bool lateDone_ = false;
    double nextChatter_ = 0;
};

} // namespace

int main(int argc, char** argv)
{
    DriveOptions options;
    std::string error;
    if (!ParseDriveOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "drivesim: %s\n%s", error.c_str(), DriveUsage());
        return 2;
    }
    static constexpr uint8_t CheckText[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    if (Crc16Arc(CheckText, sizeof CheckText) != 0xBB3D) {
        std::fprintf(stderr, "drivesim: CRC-16/ARC of \"123456789\" is not 0xBB3D\n");
        return 1;
    }

    DriveLog log;
    if (!options.logPath.empty() && !log.Open(options.logPath)) {
        std::fprintf(stderr, "drivesim: cannot write %s\n", options.logPath.c_str());
        return 1;
    }
    return RunOnPty("drivesim", B460800, options.linkPath, [&](Pty& pty) { Simulator(options, pty, log).Run(); });
}
