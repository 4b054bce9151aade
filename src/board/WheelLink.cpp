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

constexpr uint8_t StatusGrace = 3; // status exchanges without a reply before the link is dropped

void ShowStatus(AppContext& app, const char* text) { ActiveControls().SetText(app.mainPage, StatusTextId, text); }

// An identified board whose replies can be believed.
bool LinkUp(const AppContext& app)
{
    return app.boardPort.IsOpen() && app.linkState >= LinkWheelFound && !app.replyLost;
}

// The board stopped answering: its port is closed and everything learnt
// from it is asked again when it comes back.
void DropLink(AppContext& app)
{
    app.boardPort.Close();
    app.linkState = LinkDisconnected;
    app.missedStatus = 0;
    app.firmwareVersion = 0;
    ShowNoExternalGain(app);
    ShowStatus(app, LinkStateText(app.linkState));
}

// Steps 4 to 8 of the periodic step, for a board port that is set; true
// when the board was found anew.
bool ExchangeStatus(AppContext& app, bool minimisedToTray)
{
    Clock& clock = ActiveClock();
    clock.Sleep(PollPauseMs);
    const bool found = !LinkUp(app) && ConnectWheel(app, app.boardComPort);
    const char* text = LinkStateText(app.linkState);
    if (!LinkUp(app)) {
        ShowNoExternalGain(app);
        ShowStatus(app, text);
        return found;
    }
    if (minimisedToTray) {
        ShowStatus(app, text);
        return found;
    }
    app.boardPort.DropInput();
    app.boardPort.WriteByte(StatusCommand);
    int32_t reply = 0;
    if (!ReadReply(app, 1, reply)) {
        // One lost byte is not an unplugged board.
        if (++app.missedStatus >= StatusGrace) {
            DropLink(app);
        } else {
            ShowStatus(app, text);
        }
        return found;
    }
    app.missedStatus = 0;
    const auto phase = static_cast<uint8_t>(reply);
    if (phase == PhaseReady) {
        app.linkState = LinkWheelReady;
        if (app.pins.externalGainSource == NoPin) {
            ShowNoExternalGain(app);
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
    return found;
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
    // The answer is the last bytes received, whatever came before it: bytes
    // ahead of the answer's first letter are dropped, and from that letter
    // on (debug text may hold it too) 127 bytes are taken at most.
    char window[answerLength] = {};
    std::size_t taken = 0;
    for (;;) {
        // The limit holds even while bytes keep coming, so a device that
        // never stops talking cannot hold the window thread here.
        const uint64_t waited = clock.Milliseconds() - start;
        if (waited >= AnswerTimeoutMs) {
            com.Close();
            return false;
        }
        if (com.BytesWaiting() == 0) {
            // Asleep until a byte comes or the time left has passed.
            if (com.WaitForInput(static_cast<uint32_t>(AnswerTimeoutMs - waited))) continue;
            com.Close();
            return false;
        }
        const auto byte = static_cast<char>(com.ReadByte());
        if (taken == 0 && byte != WheelAnswer[0]) continue;
        std::memmove(window, window + 1, answerLength - 1);
        window[answerLength - 1] = byte;
        ++taken;
        if (taken >= answerLength && std::memcmp(window, WheelAnswer, answerLength) == 0) {
            app.boardComPort = port;
            app.linkState = LinkWheelFound;
            app.replyLost = 0;
            app.missedStatus = 0;
            return true;
        }
        if (taken >= AnswerBufferSize - 1) {
            com.Close();
            return false;
        }
    }
}

bool ConnectWheel(AppContext& app, uint8_t port)
{
    if (!IdentifyWheel(app, port)) return false;
    ReadAllParams(app);
    ShowStatus(app, LinkStateText(app.linkState));
    return true;
}

void ShowNoExternalGain(AppContext& app)
{
    const ParamControl& gain = app.params[ExternalGain];
    if (gain.dialog) ActiveControls().SetText(gain.dialog, gain.labelId, "---");
}

void PollWheel(AppContext& app, bool minimisedToTray)
{
    if (app.commandBusy) return;
    app.linkBusy = 1;
    const bool found =
        app.boardComPort != 0 && app.params[DebugLevel].value == 0 && ExchangeStatus(app, minimisedToTray);
    app.linkBusy = 0;
    // Out of the link's exchange: what the page does next talks to the board.
    if (found && app.wheelFound) app.wheelFound(app);
    if ((app.flags & AutomaticUpdateCheck) != 0 && !app.updateCheckDone) {
        app.updateCheckDone = 1;
        if (app.updateCheckDue) app.updateCheckDue(app);
    }
}

void FillComPortList(NativeHandle dialog, int comboId, uint8_t current, bool currentHeld)
{
    Controls& controls = ActiveControls();
    controls.ResetCombo(dialog, comboId);
    controls.AddComboItem(dialog, comboId, "None", 0);
    int selected = 0;
    int items = 1;
    ComPort probe;
    for (int n = 1; n <= HighestComPort; ++n) {
        const auto port = static_cast<uint8_t>(n);
        const bool held = currentHeld && port == current;
        if (!held && !probe.Open(port, BoardBaud)) continue;
        char name[16];
        std::snprintf(name, sizeof name, "COM%d", n);
        controls.AddComboItem(dialog, comboId, name, n);
        if (port == current) selected = items;
        ++items;
        if (!held) probe.Close();
    }
    controls.SelectComboItem(dialog, comboId, selected);
}

int ChosenComPort(NativeHandle dialog, int comboId)
{
    Controls& controls = ActiveControls();
    const int selected = controls.ComboSelection(dialog, comboId);
    if (selected < 0) return -1;
    const intptr_t port = controls.ComboItemData(dialog, comboId, selected);
    return port >= 0 && port <= 255 ? static_cast<int>(port) : -1;
}

void SelectBoardPort(AppContext& app, uint8_t port)
{
    WaitLinkIdle(app);
    if (port == app.boardComPort) return;
    app.boardComPort = port;
    DropLink(app);
    if (port != 0 && ConnectWheel(app, port) && app.wheelFound) app.wheelFound(app);
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
