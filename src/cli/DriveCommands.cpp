// The servo drive from a terminal, over the SimpleMotion link of the
// Windows tool's drive page.
#include "board/ParamDisplay.h"
#include "cli/Cli.h"
#include "cli/Report.h"
#include "core/AppContext.h"
#include "drive/DriveBus.h"
#include "drive/DriveLink.h"
#include "drive/DriveStatistics.h"
#include "platform/Clock.h"

#include <cstdio>

namespace {

// The drive page's statistics controls, whose texts are read back here.
constexpr int AverageCurrentId = 2101;
constexpr int MaximumCurrentId = 2107;
// One sample every 100 ms over the page's default window of one second.
constexpr int32_t StatisticsSamples = 10;
constexpr uint32_t SamplePeriodMs = 100;

// Stands for the drive page, which has no window here.
int g_drivePage = 0;

void AddBandwidth(Report& report, int32_t value)
{
    report.Number(ParamSet[TorqueBandwidth].name, value);
    char text[32];
    FormatValueText(DisplayBandwidth, value, 0, text, sizeof text);
    report.Measure("Bandwidth", "Hz", text);
}

// A transaction the drive did not answer as asked: exit 2, one line naming it.
int Failed(const char* command, const char* transfer, uint16_t parameter, uint32_t status)
{
    return Fail(ExitDevice, "drive %s: %s parameter %u failed (status 0x%x)", command, transfer,
                static_cast<unsigned>(parameter), static_cast<unsigned>(status));
}

} // namespace

int RunDriveStats(Cli& cli)
{
    if (const int status = ConnectDrive(cli); status != ExitOk) return status;
    AppContext& app = cli.app;
    // Both read here: the configuration takes the bandwidth only when it came.
    int32_t version = 0;
    if (const uint32_t status = ReadDriveParameter(app, DriveVersionParam, version); status != SmOk)
        return Failed("stats", "reading", DriveVersionParam, status);
    int32_t& bandwidth = app.params[TorqueBandwidth].value;
    if (const uint32_t status = ReadDriveParameter(app, TorqueBandwidthParam, bandwidth); status != SmOk)
        return Failed("stats", "reading", TorqueBandwidthParam, status);
    app.drivePage = &g_drivePage;
    app.params[StatisticsWindow].value = StatisticsSamples;
    // An average over fewer samples than asked for would be no average.
    for (int32_t n = 0; n < StatisticsSamples; ++n) {
        ActiveClock().Sleep(SamplePeriodMs);
        if (const uint32_t status = RefreshDriveStatistics(app); status != SmOk)
            return Failed("stats", "reading", MotorCurrentParam, status);
    }
    Report report;
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%x", static_cast<unsigned>(version));
    report.Number("Version", version, hex);
    AddBandwidth(report, bandwidth);
    report.Measure("AverageCurrent", "A", cli.controls.TextOf(app.drivePage, AverageCurrentId));
    report.Measure("MaximumCurrent", "A", cli.controls.TextOf(app.drivePage, MaximumCurrentId));
    report.Print(cli.invocation.json);
    return ExitOk;
}

int RunDriveBandwidth(Cli& cli)
{
    const ParamDefinition& bandwidth = ParamSet[TorqueBandwidth];
    long long value = 0;
    if (!ParseNumber(cli.arguments[0], value))
        return Fail(ExitUsage, "drive bandwidth: %s is no number", cli.arguments[0].c_str());
    if (value < bandwidth.minimum || value > bandwidth.maximum)
        return Fail(ExitRefused, "drive bandwidth: %s refused, the torque bandwidth takes %ld..%ld",
                    cli.arguments[0].c_str(), static_cast<long>(bandwidth.minimum),
                    static_cast<long>(bandwidth.maximum));
    if (const int status = ConnectDrive(cli); status != ExitOk) return status;
    int32_t kept = 0;
    if (WriteDriveParameter(cli.app, TorqueBandwidthParam, static_cast<int32_t>(value)) != SmOk ||
        ReadDriveParameter(cli.app, TorqueBandwidthParam, kept) != SmOk)
        return Fail(ExitDevice, "drive bandwidth: the drive stopped answering");
    Report report;
    AddBandwidth(report, kept);
    report.Print(cli.invocation.json);
    if (kept == value) return ExitOk;
    return Fail(ExitRefused, "drive bandwidth: the drive keeps %ld, not %lld", static_cast<long>(kept), value);
}

int RunDriveRestart(Cli& cli)
{
    if (const int status = ConnectDrive(cli); status != ExitOk) return status;
    if (const uint32_t status = SetDriveControl(cli.app, DriveControlRestart); status != SmOk)
        return Failed("restart", "writing", DriveControlParam, status);
    return ExitOk;
}

int RunDriveClearFaults(Cli& cli)
{
    if (const int status = ConnectDrive(cli); status != ExitOk) return status;
    if (const uint32_t status = ClearDriveFaults(cli.app); status != SmOk)
        return Failed("clear-faults", "writing", ClearFaultsParam, status);
    return ExitOk;
}
