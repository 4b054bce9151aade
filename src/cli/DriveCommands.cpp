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
    report.Text("Bandwidth", text);
}

} // namespace

int RunDriveStats(Cli& cli)
{
    if (const int status = ConnectDrive(cli); status != ExitOk) return status;
    AppContext& app = cli.app;
    int32_t version = 0;
    if (ReadDriveParameter(app, DriveVersionParam, version) != SmOk)
        return Fail(ExitDevice, "drive stats: the drive stopped answering");
    app.drivePage = &g_drivePage;
    app.params[StatisticsWindow].value = StatisticsSamples;
    for (int32_t n = 0; n < StatisticsSamples; ++n) {
        ActiveClock().Sleep(SamplePeriodMs);
        RefreshDriveStatistics(app);
    }
    Report report;
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%x", static_cast<unsigned>(version));
    report.Text("Version", hex);
    AddBandwidth(report, app.params[TorqueBandwidth].value);
    report.Text("AverageCurrent", cli.controls.TextOf(app.drivePage, AverageCurrentId));
    report.Text("MaximumCurrent", cli.controls.TextOf(app.drivePage, MaximumCurrentId));
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
    SetDriveControl(cli.app, DriveControlRestart);
    return ExitOk;
}

int RunDriveClearFaults(Cli& cli)
{
    if (const int status = ConnectDrive(cli); status != ExitOk) return status;
    ClearDriveFaults(cli.app);
    return ExitOk;
}
