#include "drive/DriveLink.h"

#include "core/AppContext.h"
#include "core/StartSwitches.h"
#include "drive/DriveBus.h"
#include "drive/DriveSerial.h"
#include "exec/Log.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr uint16_t ConfiguredReadTimeoutMs = 200;
constexpr int32_t ClearFaultsValue = 3;
constexpr uint64_t LookAgainMs = 500;

// Opens the bus and asks the drive; `tell` logs each step, else only the
// drive found.
bool ConnectDrive(AppContext& app, bool tell)
{
    drive::SetReadTimeout(ConfiguredReadTimeoutMs);
    if (tell) LogPrintf(0, "Opening RS485 port");
    if (app.driveBus >= 0) {
        BusClose(app.driveBus);
        app.driveBus = -1;
    }
    char name[16];
    std::snprintf(name, sizeof name, "COM%d", static_cast<int>(app.driveComPort));
    const int bus = BusOpen(name);
    if (bus < 0) {
        if (tell) LogPrintf(0, "Error opening RS485 port");
        return false;
    }
    if (tell) LogPrintf(0, "RS485 port open");
    int32_t version = 0;
    const uint32_t status = BusReadParameter(bus, app.driveAddress, DriveVersionParam, version);
    if (status != SmOk) {
        if (tell) LogDriveStatus("Error reading version", status);
        BusClose(bus);
        return false;
    }
    app.driveBus = bus;
    app.driveMisses = 0;
    if (app.bandwidthUnsent) {
        SendDriveBandwidth(app);
    } else {
        // A value that did not come whole is none: TORQUE_BW keeps its own.
        int32_t bandwidth = 0;
        const uint32_t read = BusReadParameter(bus, app.driveAddress, TorqueBandwidthParam, bandwidth);
        if (read == SmOk) app.params[TorqueBandwidth].value = bandwidth;
        else LogDriveStatus("Error reading torque bandwidth", read);
    }
    LogPrintf(0, "Drive successfully Configured. Version : 0x%x", static_cast<unsigned>(version));
    return true;
}

} // namespace

void ConfigureDrive(AppContext& app)
{
    if (g_switches.dev) ConnectDrive(app, true);
}

bool LookForDriveAgain(AppContext& app, uint64_t now)
{
    if (!g_switches.dev || app.driveBus >= 0 || app.driveComPort == 0) return false;
    if (now >= app.driveLookedFor && now - app.driveLookedFor < LookAgainMs) return false;
    app.driveLookedFor = now;
    return ConnectDrive(app, false);
}

void SendDriveBandwidth(AppContext& app)
{
    // A drive that left its last read unanswered gets the bandwidth once it
    // answers again: a request to it would hold the window for its time-out.
    if (app.driveMisses > 0) {
        app.bandwidthUnsent = true;
        return;
    }
    const uint32_t status = WriteDriveParameter(app, TorqueBandwidthParam, app.params[TorqueBandwidth].value);
    app.bandwidthUnsent = status != SmOk;
}

uint32_t WriteDriveParameter(AppContext& app, uint16_t parameter, int32_t value)
{
    if (app.driveBus < 0) return SmCommError;
    return BusSetParameter(app.driveBus, app.driveAddress, parameter, value);
}

uint32_t ReadDriveParameter(AppContext& app, uint16_t parameter, int32_t& value)
{
    if (app.driveBus < 0) return SmCommError;
    return BusReadParameter(app.driveBus, app.driveAddress, parameter, value);
}

uint32_t SetDriveControl(AppContext& app, int32_t value) { return WriteDriveParameter(app, DriveControlParam, value); }

uint32_t ClearDriveFaults(AppContext& app) { return WriteDriveParameter(app, ClearFaultsParam, ClearFaultsValue); }

void LogDriveStatus(const char* text, uint32_t status)
{
    if (status == SmOk) {
        LogPrintf(0, "Ok");
        return;
    }
    static constexpr struct {
        uint32_t bit;
        const char* word;
    } words[] = {{SmNoDevice, "No Device "},
                 {SmBusError, "Bus "},
                 {SmCommError, "Comm "},
                 {SmParameterError, "Parameter "},
                 {SmLengthError, "Length "}};
    char line[128];
    int used = std::snprintf(line, sizeof line, "%s : 0x%x ->", text, static_cast<unsigned>(status));
    for (const auto& w : words) {
        if ((status & w.bit) == 0 || used < 0 || used >= static_cast<int>(sizeof line)) continue;
        used += std::snprintf(line + used, sizeof line - static_cast<std::size_t>(used), "- %s", w.word);
    }
    LogPrintf(0, "%s", line);
}
