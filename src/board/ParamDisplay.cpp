#include "board/ParamDisplay.h"

#include "core/AppContext.h"
#include "platform/Controls.h"

#include <cstdio>

namespace {

constexpr std::size_t LabelSize = 64;

// The torque bandwidth table, in Hz; the entry after the last is "Unlimited".
constexpr int BandwidthHz[] = {100, 150, 220, 330, 470, 680, 1000, 1500, 2200, 3300, 4700};
constexpr int32_t BandwidthUnlimited = 11;

// The records a trackbar can belong to: all but WheelFlags and DebugLevel.
constexpr int TrackbarRecords = LinearityRx + 1;

} // namespace

bool FormatValueText(uint8_t displayKind, int32_t value, uint8_t unit, char* text, std::size_t size)
{
    const int64_t v = value;
    switch (displayKind) {
    case DisplayNumber:
        std::snprintf(text, size, "%d", value);
        return true;
    case DisplayPercent127:
        std::snprintf(text, size, "%d %c", static_cast<int>(v * 100 / 127), unit);
        return true;
    case DisplayNumberUnit:
        std::snprintf(text, size, "%d %c", value, unit);
        return true;
    case DisplayTenthSeconds: {
        const float seconds = static_cast<float>(v * 100) * 0.001f;
        if (seconds < 10.0f) {
            std::snprintf(text, size, "%1.1f %c", static_cast<double>(seconds), unit);
        } else if (seconds < 60.0f) {
            std::snprintf(text, size, "%2.0f %c", static_cast<double>(seconds), unit);
        } else {
            std::snprintf(text, size, "%1.1f mn", static_cast<double>(seconds / 60.0f));
        }
        return true;
    }
    case DisplayBandwidth:
        if (value == BandwidthUnlimited) {
            std::snprintf(text, size, "Unlimited");
        } else if (value >= 0 && value < BandwidthUnlimited) {
            std::snprintf(text, size, "%d Hz", BandwidthHz[value]);
        } else {
            // Outside the trackbar's range: nothing in the table to show.
            std::snprintf(text, size, "---");
        }
        return true;
    case DisplayFilter:
        std::snprintf(text, size, "%d %%", static_cast<int>((v * 100 - 100) / 30));
        return true;
    case DisplayFixed412:
        std::snprintf(text, size, "%1.2f", static_cast<double>(static_cast<float>(value) / 4096.0f));
        return true;
    default:
        return false;
    }
}

void FormatValue(const ParamControl& record)
{
    if (!record.dialog) return;
    char text[LabelSize];
    if (FormatValueText(record.displayKind, record.value, record.unit, text, sizeof text)) {
        ActiveControls().SetText(record.dialog, record.labelId, text);
    }
}

void BindFromSet(AppContext& app, int index, NativeHandle dialog)
{
    const ParamDefinition& d = ParamSet[index];
    BindControl(app.params[index], dialog, d.trackbarId, d.labelId, d.number, d.widthCode, d.minimum, d.maximum,
                d.tickStep, d.displayKind, d.unit);
}

void ShowValue(const ParamControl& record)
{
    if (!record.dialog) return;
    Controls& controls = ActiveControls();
    if (record.labelId != 0 && record.displayKind == DisplayComboIndex) {
        controls.SelectComboItem(record.dialog, record.labelId, record.value);
        return;
    }
    if (record.trackbarId != 0) controls.SetTrackbarPosition(record.dialog, record.trackbarId, record.value);
    if (record.labelId != 0) FormatValue(record);
}

void BindControl(ParamControl& record, NativeHandle dialog, int32_t trackbarId, int32_t labelId, uint8_t number,
                 uint8_t widthCode, int32_t minimum, int32_t maximum, int32_t tickStep, uint8_t displayKind,
                 uint8_t unit)
{
    record.dialog = dialog;
    record.trackbarId = trackbarId;
    record.labelId = labelId;
    record.number = number;
    record.widthCode = widthCode;
    record.minimum = minimum;
    record.maximum = maximum;
    record.tickStep = tickStep;
    record.displayKind = displayKind;
    record.unit = unit;
    record.trackbar = nullptr;
    if (dialog && trackbarId != 0) {
        Controls& controls = ActiveControls();
        record.trackbar = controls.Find(dialog, trackbarId);
        if (record.trackbar) {
            controls.SetTrackbarRange(dialog, trackbarId, minimum, maximum);
            // A step of 0 or less would never reach the end: no ticks then.
            if (tickStep > 0) {
                const int64_t last = int64_t{maximum} - tickStep;
                for (int64_t t = int64_t{minimum} + tickStep; t <= last; t += tickStep) {
                    controls.AddTrackbarTick(dialog, trackbarId, static_cast<int>(t));
                }
            }
        }
    }
    if (dialog) ShowValue(record);
}

ParamControl* FindParamControl(AppContext& app, NativeHandle trackbar)
{
    if (!trackbar) return nullptr;
    for (int i = 0; i < TrackbarRecords; ++i) {
        if (app.params[i].trackbar == trackbar) return &app.params[i];
    }
    return nullptr;
}
