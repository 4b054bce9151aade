#include "controller/Tick.h"

#include "core/AppContext.h"
#include "core/StartSwitches.h"
#include "board/BoardProtocol.h"
#include "board/ParamDisplay.h"
#include "board/WheelLink.h"
#include "controller/ControllerPoll.h"
#include "drive/DriveLink.h"
#include "drive/DriveStatistics.h"
#include "exec/Log.h"
#include "platform/Clock.h"
#include "profiles/GameDetection.h"

TickStamps g_tickStamps;

namespace {

constexpr uint64_t BoardPeriodMs = 1000;
constexpr uint64_t DrivePeriodMs = 100;
// After a read the drive did not answer: each such read holds the window
// for its time-out, so they come no closer than this.
constexpr uint64_t DriveRetryMs = 500;
constexpr uint64_t GamePeriodMs = 2000;
constexpr uint64_t ForceDrawPeriodMs = 100;

constexpr uint8_t TraceMark = '#';
constexpr uint32_t TraceFrameBytes = 4;

const char* TraceKindName(uint8_t kind)
{
    switch (kind) {
    case 0:
        return "Torque";
    case 1:
        return "Create Effect";
    default:
        return "Error";
    }
}

// One trace frame: '#', kind, an unsigned byte and a signed 16-bit value
// high byte first. Anything else waiting is dropped a byte per tick. The
// frame goes to the log and to the force trace.
void TakeTraceFrame(AppContext& app, uint64_t now)
{
    if (app.boardPort.BytesWaiting() == 0) return;
    if (app.boardPort.ReadByte() != TraceMark) return;
    int32_t frame = 0;
    if (!ReadReply(app, TraceFrameBytes, frame)) return;
    // The reply reader gives four bytes little-endian: byte 0 is the lowest.
    const auto bits = static_cast<uint32_t>(frame);
    const auto kind = static_cast<uint8_t>(bits & 0xff);
    const auto value = static_cast<unsigned>((bits >> 8) & 0xff);
    const auto signedValue = static_cast<int16_t>(((bits >> 16) & 0xff) << 8 | ((bits >> 24) & 0xff));
    LogPrintf(0, "%s : %d : %d", TraceKindName(kind), value, signedValue);
    app.forceTrace.Add(now, kind == 0 ? ForceTrace::Kind::Torque : kind == 1 ? ForceTrace::Kind::CreateEffect
                                                                             : ForceTrace::Kind::Error,
                       signedValue);
}

} // namespace

int Tick(AppContext& app, bool minimisedToTray)
{
    const uint64_t now = ActiveClock().Milliseconds();
    if (!app.commandBusy) {
        if (now - g_tickStamps.board > BoardPeriodMs) {
            g_tickStamps.board = now;
            PollWheel(app, minimisedToTray);
        } else if (g_switches.dev && now - g_tickStamps.drive > (app.driveMisses ? DriveRetryMs : DrivePeriodMs)) {
            // Not in the tick of the board's poll: the two waits on their
            // lines (a board found again, a drive looked for) would add up
            // to one long wait of the window.
            g_tickStamps.drive = now;
            // A drive found again shows the bandwidth it has.
            if (LookForDriveAgain(app, now)) ShowValue(app.params[TorqueBandwidth]);
            RefreshDriveStatistics(app);
        }
    }
    if (now - g_tickStamps.game > GamePeriodMs) {
        g_tickStamps.game = now;
        DetectGame(app);
    }
    if (app.params[DebugLevel].value > 0) {
        TakeTraceFrame(app, now);
        if (app.forceTraced && now - g_tickStamps.forceDrawn > ForceDrawPeriodMs) {
            g_tickStamps.forceDrawn = now;
            app.forceTraced(app, now);
        }
    }
    PollController(app);
    return 0;
}
