#include "board/WheelLink.h"

#include "core/AppContext.h"
#include "board/BoardProtocol.h"
#include "board/LinkState.h"
#include "platform/Clock.h"
#include "platform/Controls.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr uint32_t BoardBaud = 115200;
constexpr uint32_t BootLoaderBaud = 1200;
constexpr uint64_t AnswerTimeoutMs = 500;
constexpr std::size_t AnswerBufferSize = 128;
constexpr uint32_t PollPauseMs = 20;
constexpr uint32_t CenterSettleMs = 100;
constexpr uint8_t HighestComPort = 126;
constexpr uint32_t AutomaticUpdateCheck = 1;

constexpr uint8_t StatusCommand = 'S';
constexpr uint8_t VersionCommand = 'V';
constexpr uint8_t CalibrateCommand = 'r';
constexpr uint8_t CenterCommand = 'c';

void ShowStatus(AppContext& app, const char* text) { ActiveControls().SetText(app.mainPage, StatusTextId, text); }

void ClearExternalGain(AppContext& app)
{
    const ParamControl& gain = app.params[ExternalGain];
    if (gain.dialog) ActiveControls().SetText(gain.dialog, gain.labelId, "---");
}

// Steps 4 to 8 of the periodic step, for a board port that is set.
void ExchangeStatus(AppContext& app, bool minimisedToTray)
{
    Clock& clock = ActiveClock();
    clock.Sleep(PollPauseMs);
    if (!app.boardPort.IsOpen() || app.linkState < LinkWheelFound) {
        if (IdentifyWheel(app, app.boardComPort)) ReadAllParams(app);
    }
    const char* text = LinkStateText(app.linkState);
    if (!app.boardPort.IsOpen() || app.linkState < LinkWheelFound) {
        ClearExternalGain(app);
        ShowStatus(app, text);
        return;
    }
    if (minimisedToTray) {
        ShowStatus(app, text);
        return;
    }
    app.boardPort.WriteByte(StatusCommand);
    int32_t reply = 0;
    if (!ReadReply(app, 1, reply)) {
        ShowStatus(app, text);
        return;
    }
    const auto phase = static_cast<uint8_t>(reply);
    if (phase == PhaseReady) {
        app.linkState = LinkWheelReady;
        if (app.pins.externalGainSource == NoPin) {
            ClearExternalGain(app);
        } else {
            RefreshParam(app, app.params[ExternalGain]);
        }
    } else if (phase == PhaseError) {
        app.linkState = LinkWheelError;
    }
    if (app.firmwareVersion == 0) {
        app.boardPort.WriteByte(VersionCommand);
        int32_t version = 0;
        if (ReadReply(app, 4, version)) {
            app.firmwareVersion = static_cast<uint32_t>(version);
            char shown[32];
            std::snprintf(shown, sizeof shown, "%d.%d", static_cast<int>((app.firmwareVersion >> 8) & 255),
                          static_cast<int>(app.firmwareVersion & 255));
            ActiveControls().SetText(app.mainPage, FirmwareVersionId, shown);
        }
    }
    ShowStatus(app, CalibrationPhaseText(phase));
}

} // namespace

bool IdentifyWheel(AppContext& app, uint8_t port)
{
    ComPort& com = app.boardPort;
    if (!com.Open(port, BoardBaud)) return false;
    app.linkState = LinkConnected;
    com.Purge();
    constexpr uint32_t probeLength = sizeof WheelProbe - 1;
    if (com.Write(WheelProbe, probeLength) < probeLength) return false;

    constexpr std::size_t answerLength = sizeof WheelAnswer - 1;
    Clock& clock = ActiveClock();
    const uint64_t start = clock.Milliseconds();
    char answer[AnswerBufferSize];
    std::size_t collected = 0;
    for (;;) {
        // The limit holds even while bytes keep coming, so a device that
        // never stops talking cannot hold the window thread here.
        if (clock.Milliseconds() - start >= AnswerTimeoutMs) {
            com.Close();
            return false;
        }
        if (com.BytesWaiting() != 0) {
            const auto byte = static_cast<char>(com.ReadByte());
            if (collected == 0) {
                if (byte == WheelAnswer[0]) answer[collected++] = byte;
            } else {
                answer[collected++] = byte;
                if (byte == WheelAnswer[answerLength - 1] && collected == answerLength &&
                    std::memcmp(answer, WheelAnswer, answerLength) == 0) {
                    app.boardComPort = port;
                    app.linkState = LinkWheelFound;
                    return true;
                }
                if (collected >= AnswerBufferSize - 1) {
                    com.Close();
                    return false;
                }
            }
        }
    }
}

void PollWheel(AppContext& app, bool minimisedToTray)
{
    if (app.commandBusy) return;
    app.linkBusy = 1;
    if (app.boardComPort != 0 && app.params[DebugLevel].value == 0) ExchangeStatus(app, minimisedToTray);
    app.linkBusy = 0;
    if ((app.flags & AutomaticUpdateCheck) != 0 && !app.updateCheckDone) {
        app.updateCheckDone = 1;
        if (app.updateCheckDue) app.updateCheckDue(app);
    }
}

void FillComPortList(NativeHandle dialog, int comboId, uint8_t current)
{
    Controls& controls = ActiveControls();
    controls.ResetCombo(dialog, comboId);
    controls.AddComboItem(dialog, comboId, "None", 0);
    int selected = 0;
    int items = 1;
    ComPort probe;
    for (int n = 1; n <= HighestComPort; ++n) {
        const auto port = static_cast<uint8_t>(n);
        if (!probe.Open(port, BoardBaud)) continue;
        char name[16];
        std::snprintf(name, sizeof name, "COM%d", n);
        controls.AddComboItem(dialog, comboId, name, n);
        if (port == current) selected = items;
        ++items;
        probe.Close();
    }
    controls.SelectComboItem(dialog, comboId, selected);
}

void SelectBoardPort(AppContext& app, uint8_t port)
{
    WaitLinkIdle(app);
    if (port == app.boardComPort) return;
    app.boardComPort = port;
    IdentifyWheel(app, port);
}

void Calibrate(AppContext& app)
{
    WaitLinkIdle(app);
    app.boardPort.WriteByte(CalibrateCommand);
}

void CenterWheel(AppContext& app)
{
    WaitLinkIdle(app);
    if (app.linkState != LinkWheelReady) return;
    app.boardPort.WriteByte(CenterCommand);
    ActiveClock().Sleep(CenterSettleMs);
    RefreshParam(app, app.params[CenterOffset]);
}

bool ResetBoard(AppContext& app)
{
    app.boardPort.Close();
    const bool opened = app.boardPort.Open(app.boardComPort, BootLoaderBaud);
    if (opened) app.boardPort.Close();
    return opened;
}
