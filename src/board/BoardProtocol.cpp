#include "board/BoardProtocol.h"

#include "core/AppContext.h"
#include "board/ParamDisplay.h"
#include "platform/Clock.h"
#include "platform/Controls.h"

namespace {

constexpr uint64_t ReplyByteTimeoutMs = 100;
constexpr uint32_t ReadPauseMs = 5;
constexpr uint32_t WritePauseMs = 20;
constexpr uint32_t DefaultsSettleMs = 400;
constexpr uint64_t LinkIdleTimeoutMs = 500;

constexpr uint8_t ReadCommand = 'p';
constexpr uint8_t WriteCommand = 'P';
constexpr uint8_t DefaultsCommand = 'D';

// Write frame: 'P', number, width, then the value's low bytes, most
// significant first.
void WriteFrame(AppContext& app, uint8_t number, uint8_t width, int32_t value)
{
    if (width == 0 || width > 4) return;
    uint8_t frame[7] = {WriteCommand, number, width};
    const auto bits = static_cast<uint32_t>(value);
    for (uint8_t i = 0; i < width; ++i) {
        frame[3 + i] = static_cast<uint8_t>(bits >> (8u * (width - 1u - i)));
    }
    app.boardPort.Write(frame, width + 3u);
    ActiveClock().Sleep(WritePauseMs);
}

void RereadAdvancedParams(AppContext& app)
{
    for (ParamIndex i : {CommandMode, PwmFrequency, EncoderCounts, Filter}) RefreshParam(app, app.params[i]);
}

} // namespace

bool ReadReply(AppContext& app, uint32_t count, int32_t& value)
{
    Clock& clock = ActiveClock();
    uint8_t bytes[4] = {};
    uint32_t accumulator = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t start = clock.Milliseconds();
        while (app.boardPort.BytesWaiting() == 0) {
            const uint64_t waited = clock.Milliseconds() - start;
            if (waited >= ReplyByteTimeoutMs) return false;
            if (!app.boardPort.WaitForInput(static_cast<uint32_t>(ReplyByteTimeoutMs - waited))) return false;
        }
        const uint8_t byte = app.boardPort.ReadByte();
        if (i < 4) bytes[i] = byte;
        accumulator = accumulator * 256u + byte;
    }
    uint32_t result = accumulator;
    if (count == 2) {
        result = bytes[0] | (uint32_t{bytes[1]} << 8);
    } else if (count == 4) {
        result = bytes[0] | (uint32_t{bytes[1]} << 8) | (uint32_t{bytes[2]} << 16) | (uint32_t{bytes[3]} << 24);
    }
    value = static_cast<int32_t>(result);
    return true;
}

int32_t ReadParam(AppContext& app, uint8_t number, uint8_t width, int32_t fallback)
{
    // A reply that came too late may still arrive, and would be taken for
    // the answer to the next request: nothing read is believed until the
    // board has been identified again.
    if (app.replyLost) return fallback;
    // Bytes of an answer to an earlier request are dropped first.
    app.boardPort.DropInput();
    const uint8_t frame[3] = {ReadCommand, number, width};
    app.boardPort.Write(frame, sizeof frame);
    int32_t raw = 0;
    const bool answered = ReadReply(app, width, raw);
    ActiveClock().Sleep(ReadPauseMs);
    if (!answered) {
        app.replyLost = 1;
        return fallback;
    }
    if (width == 1) return static_cast<int8_t>(raw & 0xff);
    if (width == 2) return static_cast<int16_t>(raw & 0xffff);
    return raw;
}

void RefreshParam(AppContext& app, ParamControl& record)
{
    const uint8_t width = WidthOfCode(record.widthCode);
    if (width == 0) return;
    record.value = ReadParam(app, record.number, width, record.value);
    ShowValue(record);
}

void ReadAllParams(AppContext& app)
{
    static constexpr ParamIndex settings[] = {
        CenterOffset,  MaxAngle,       MainGain,     GameFxSpring, GameFxFriction, GameFxDamper,   GameFxInertia,
        GameFxConstant, GameFxSine,    DesktopFxSpring, DesktopFxDamper, ForceTable, WheelFlags,   StopSpring,
        StopDamper,    UserFxSpring,   UserFxFriction, UserFxDamper, UserFxInertia, DebugLevel,
    };
    for (ParamIndex i : settings) RefreshParam(app, app.params[i]);
    RereadAdvancedParams(app);
    ReadPinMap(app);
    app.paramsRead = app.replyLost ? 0 : 1;
}

void ReadPinMap(AppContext& app)
{
    PinMap& pins = app.pins;
    for (int i = 0; i < ButtonOutputCount; ++i) {
        const auto number = static_cast<uint8_t>(ButtonMapFirst + i);
        pins.buttonOutputMap[i] = static_cast<uint8_t>(ReadParam(app, number, 1, pins.buttonOutputMap[i]) & 0xff);
    }
    for (int k = 0; k < AxisSourceCount; ++k) {
        const auto source = static_cast<uint8_t>(AxisSourceFirst + k);
        pins.axisSources[k] = static_cast<uint8_t>(ReadParam(app, source, 1, pins.axisSources[k]) & 0xff);
        ParamControl& curve = app.params[LinearityX + k];
        curve.value = ReadParam(app, static_cast<uint8_t>(80 + 2 * k), 2, curve.value);
    }
    pins.externalGainSource =
        static_cast<uint8_t>(ReadParam(app, ExtGainSourceNumber, 1, pins.externalGainSource) & 0xff);
}

void SendParam(AppContext& app, const ParamControl& record)
{
    WaitLinkIdle(app);
    if (record.number == NotABoardParam) return;
    WriteFrame(app, record.number, WidthOfCode(record.widthCode), record.value);
}

void SendRaw(AppContext& app, uint8_t number, uint8_t width, int32_t value) { WriteFrame(app, number, width, value); }

void SendProfile(AppContext& app)
{
    if (app.linkState != 2 && app.linkState != 3) return;
    if (!WaitLinkIdle(app)) return;
    const uint8_t busy = app.commandBusy;
    app.commandBusy = 1;
    static constexpr ParamIndex order[] = {
        MaxAngle,     MainGain,       GameFxSpring, GameFxFriction, GameFxDamper,  GameFxInertia, GameFxConstant,
        GameFxSine,   ForceTable,     WheelFlags,   UserFxSpring,   UserFxFriction, UserFxDamper, UserFxInertia,
    };
    for (ParamIndex i : order) SendParam(app, app.params[i]);
    app.commandBusy = busy;
}

void ResetBoardDefaults(AppContext& app)
{
    WaitLinkIdle(app);
    app.boardPort.WriteByte(DefaultsCommand);
    ActiveClock().Sleep(DefaultsSettleMs);
    RereadAdvancedParams(app);
    ReadPinMap(app);
}

void TrackbarChanged(AppContext& app, ParamControl& record)
{
    WaitLinkIdle(app);
    const uint8_t busy = app.commandBusy;
    app.commandBusy = 1;
    if (record.dialog) record.value = ActiveControls().TrackbarPosition(record.dialog, record.trackbarId);
    FormatValue(record);
    SendParam(app, record);
    app.commandBusy = busy;
}

bool WaitLinkIdle(AppContext& app)
{
    Clock& clock = ActiveClock();
    const uint64_t start = clock.Milliseconds();
    while (app.linkBusy) {
        clock.Sleep(1);
        const uint64_t now = clock.Milliseconds();
        if (now < start || now - start > LinkIdleTimeoutMs) return false;
    }
    return true;
}
