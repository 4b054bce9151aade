#include "ui/DrivePage.h"

#include "board/BoardProtocol.h"
#include "board/ParamDisplay.h"
#include "board/WheelLink.h"
#include "controller/ControllerDiscovery.h"
#include "drive/DriveLink.h"
#include "platform/Controls.h"
#include "ui/ForceGraph.h"
#include "update/ComPortSearch.h"

namespace {

constexpr int ResetMaxId = 2044;
constexpr int ResetBoardId = 2050;
constexpr int RestartDriveId = 2082;
constexpr int ClearFaultsId = 2083;

// USB ids of the drive's RS485 adapter.
constexpr uint16_t DriveVendorId = 0x0403;
constexpr uint16_t DriveProductId = 0x6001;

constexpr const char* DebugLevelNames[] = {"None", "Error", "Warning", "Info", "Debug"};

void DrivePortChosen(AppContext& app, NativeHandle page)
{
    const int port = ChosenComPort(page, DriveComPortComboId);
    if (port < 0 || port == app.driveComPort) return;
    app.driveComPort = static_cast<uint8_t>(port);
    ConfigureDrive(app);
    // The bandwidth read from this drive, or the one kept.
    ShowValue(app.params[TorqueBandwidth]);
}

void DebugLevelChosen(AppContext& app, NativeHandle page)
{
    const int selected = ActiveControls().ComboSelection(page, DebugLevelComboId);
    if (selected < 0) return;
    ParamControl& record = app.params[DebugLevel];
    record.value = selected;
    SendParam(app, record);
}

// The force trace on the page's graph.
void DrawForce(AppContext& app, uint64_t now)
{
    DrawForceGraph(ActiveControls().Find(app.drivePage, ForceGraphId), app.forceTrace, now);
}

} // namespace

void InitDrivePage(AppContext& app, NativeHandle page)
{
    app.drivePage = page;
    app.forceTraced = DrawForce;
    Controls& controls = ActiveControls();
    controls.ResetCombo(page, DebugLevelComboId);
    for (intptr_t level = 0; level < 5; ++level) {
        controls.AddComboItem(page, DebugLevelComboId, DebugLevelNames[level], level);
    }
    if (app.driveComPort == 0) app.driveComPort = FindComPortFromIds(DriveVendorId, DriveProductId);
    FillComPortList(page, DriveComPortComboId, app.driveComPort);
    if (app.driveComPort != 0) ConfigureDrive(app);
    BindFromSet(app, CenterOffset, page);
    BindFromSet(app, TorqueBandwidth, page);
    BindFromSet(app, DebugLevel, page);
    BindFromSet(app, StatisticsWindow, page);
    EnableInputControls(app, page);
}

bool DrivePageCommand(AppContext& app, int id, NativeHandle page)
{
    switch (id) {
    case DriveComPortComboId:
        DrivePortChosen(app, page);
        return true;
    case DebugLevelComboId:
        DebugLevelChosen(app, page);
        return true;
    case ResetMaxId:
        app.maximumCurrent = 0;
        return true;
    case ResetBoardId:
        ResetBoard(app);
        return true;
    case RestartDriveId:
        SetDriveControl(app, DriveControlRestart);
        return true;
    case ClearFaultsId:
        ClearDriveFaults(app);
        return true;
    default:
        return false;
    }
}
