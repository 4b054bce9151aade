#include "drive/DriveStatistics.h"

#include "core/AppContext.h"
#include "drive/DriveBus.h"
#include "drive/DriveLink.h"
#include "platform/Clock.h"
#include "platform/Controls.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int AverageCurrentId = 2101;
constexpr int MaximumCurrentId = 2107;
constexpr int DriveControlIds[] = {2110, 2112, 2114, 2082, 2083, 1081, 1079, 1080, 2044};
constexpr int RingSize = sizeof AppContext::currentSamples / sizeof AppContext::currentSamples[0];
constexpr float AmperesPerUnit = 0.0018f;
// Reads without an answer, in a row, after which the drive is let go; a
// request that could not even be sent (the adapter gone) lets it go at once.
constexpr uint8_t DriveGrace = 5;

void EnableDriveControls(NativeHandle page, bool enabled)
{
    Controls& controls = ActiveControls();
    for (int id : DriveControlIds) {
        if (controls.IsEnabled(page, id) != enabled) controls.Enable(page, id, enabled);
    }
}

// Ten times a second: a text that is shown already is not written again,
// which would only draw it again.
void ShowText(NativeHandle page, int id, const char* text)
{
    char shown[32];
    Controls& controls = ActiveControls();
    controls.Text(page, id, shown, sizeof shown);
    if (std::strcmp(shown, text) != 0) controls.SetText(page, id, text);
}

void ShowAmperes(NativeHandle page, int id, float amperes)
{
    char text[32];
    std::snprintf(text, sizeof text, "%1.1f A", static_cast<double>(amperes));
    ShowText(page, id, text);
}

} // namespace

uint32_t RefreshDriveStatistics(AppContext& app)
{
    const NativeHandle page = app.drivePage;
    if (app.driveBus < 0) {
        if (page) {
            ShowText(page, AverageCurrentId, "NA");
            ShowText(page, MaximumCurrentId, "NA");
            EnableDriveControls(page, false);
        }
        return SmCommError;
    }
    if (page) EnableDriveControls(page, true);

    int32_t sample = 0;
    const uint32_t status = ReadDriveParameter(app, MotorCurrentParam, sample);
    if (status != SmOk) {
        // A read that failed is no sample of zero amperes.
        if (++app.driveMisses >= DriveGrace || (status & SmBusError) != 0) {
            LogDriveStatus("Drive not answering, port closed", status);
            BusClose(app.driveBus);
            app.driveBus = -1;
            // A reply still on its way has the time to come, and the next
            // open drops it.
            app.driveLookedFor = ActiveClock().Milliseconds();
        }
        return status;
    }
    app.driveMisses = 0;
    if (app.bandwidthUnsent) SendDriveBandwidth(app);
    app.currentSamples[app.sampleIndex] = sample;
    // The largest since start or "Reset Max": only the new sample can raise it.
    app.maximumCurrent = std::max(app.maximumCurrent, std::abs(sample));

    const int32_t window = app.params[StatisticsWindow].value;
    float sum = 0.0f;
    for (int32_t n = 0, at = app.sampleIndex; n < window; ++n) {
        sum += static_cast<float>(std::abs(app.currentSamples[at]));
        at = at == 0 ? RingSize - 1 : at - 1;
    }
    const float average = window > 0 ? sum / static_cast<float>(window) : 0.0f;
    app.sampleIndex = (app.sampleIndex + 1) % RingSize;
    if (page) {
        ShowAmperes(page, AverageCurrentId, average * AmperesPerUnit);
        ShowAmperes(page, MaximumCurrentId, static_cast<float>(app.maximumCurrent) * AmperesPerUnit);
    }
    return status;
}
