#include "ui/MainPage.h"

#include "core/Version.h"
#include "board/BoardProtocol.h"
#include "board/LinkState.h"
#include "board/ParamDisplay.h"
#include "board/WheelLink.h"
#include "controller/ControllerCombo.h"
#include "drive/DriveLink.h"
#include "exec/Exec.h"
#include "platform/Controls.h"
#include "platform/MessageBoxStyle.h"
#include "profiles/Profiles.h"
#include "ui/AdvancedDialog.h"
#include "ui/DrivePage.h"
#include "ui/ProfileDialog.h"
#include "ui/ProfileSharing.h"
#include "ui/WheelStateDrawing.h"
#include "update/ComPortSearch.h"
#include "update/UpdateCheck.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int ToolVersionId = 2095;
constexpr int CenterWheelId = 2019;
constexpr int CalibrateId = 2045;
constexpr int InvertId = 2121;
constexpr int ManualId = 2126;
constexpr int AutomaticUpdateId = 2041;
constexpr int CheckNowId = 2039;
constexpr int AdvancedSettingsId = 2123;
constexpr int NewProfileId = 2078;
constexpr int EditProfileId = 2081;
constexpr int RemoveProfileId = 2080;
constexpr int ImportProfilesId = 2300;
constexpr int ExportProfilesId = 2301;
constexpr int DetectGameId = 2128;

// WheelFlags bits.
constexpr int32_t InvertBit = 1;
constexpr int32_t ManualBit = 2;
constexpr int32_t InvertCompanionBit = 4;
// FLAGS bits.
constexpr uint32_t AutomaticUpdateBit = 1;
constexpr uint32_t DetectGameBit = 2;

// USB ids of the wheel board.
constexpr uint16_t BoardVendorId = 0x2341;
constexpr uint16_t BoardProductId = 0x8036;

// The trackbars of this page.
constexpr ParamIndex PageTrackbars[] = {
    MaxAngle,        MainGain,        GameFxSpring, GameFxFriction, GameFxDamper,   GameFxInertia,
    GameFxConstant,  GameFxSine,      ForceTable,   DesktopFxSpring, DesktopFxDamper, StopSpring,
    StopDamper,      UserFxSpring,    UserFxFriction, UserFxDamper, UserFxInertia,  Filter,
};

// Records that other windows bind later or that have no control of their own.
constexpr ParamIndex UnboundRecords[] = {CenterOffset, WheelFlags, DebugLevel, CommandMode, EncoderCounts,
                                         PwmFrequency};

void BindPage(AppContext& app, NativeHandle page)
{
    for (ParamIndex i : PageTrackbars) BindFromSet(app, i, page);
    for (ParamIndex i : UnboundRecords) BindFromSet(app, i, nullptr);
    BindFromSet(app, ExternalGain, page);
}

void SetBit(int32_t& value, int32_t bit, bool on) { value = on ? (value | bit) : (value & ~bit); }

void SetFlag(uint32_t& flags, uint32_t bit, bool on) { flags = on ? (flags | bit) : (flags & ~bit); }

// Edit and Remove refuse this one (exact comparison).
constexpr char DefaultProfileName[] = "Default";

bool IsDefaultProfile(const GameProfile* profile)
{
    return profile && std::strcmp(profile->name, DefaultProfileName) == 0;
}

void ToggleWheelFlag(AppContext& app, NativeHandle page, int id, int32_t bit)
{
    ParamControl& flags = app.params[WheelFlags];
    SetBit(flags.value, bit, ActiveControls().IsChecked(page, id));
    if (bit == InvertBit) flags.value ^= InvertCompanionBit;
    SendParam(app, flags);
    // The flags belong to the profile as much as the trackbars do.
    if (GameProfile* profile = SelectedProfile(app)) StoreProfile(app, *profile);
}

void BoardPortChosen(AppContext& app, NativeHandle page)
{
    const int port = ChosenComPort(page, WheelComPortComboId);
    if (port >= 0) SelectBoardPort(app, static_cast<uint8_t>(port));
}

void ProfileChosen(AppContext& app, NativeHandle page)
{
    const int selected = ActiveControls().ComboSelection(page, ProfileComboId);
    if (selected >= 0) SelectProfile(app, selected);
}

void EditSelectedProfile(AppContext& app, NativeHandle page)
{
    const GameProfile* profile = SelectedProfile(app);
    if (!profile) return;
    if (IsDefaultProfile(profile)) {
        ActiveControls().ShowMessage(page, "You can't edit the default profile", ExecCaption(),
                                     MessageIconExclamation);
        return;
    }
    EditProfile(app);
}

void RemoveSelectedProfile(AppContext& app, NativeHandle page)
{
    const GameProfile* profile = SelectedProfile(app);
    Controls& controls = ActiveControls();
    if (IsDefaultProfile(profile)) {
        controls.ShowMessage(page, "You can't remove the default profile", ExecCaption(), MessageIconExclamation);
        return;
    }
    if (!profile) return;
    const int index = controls.ComboSelection(page, ProfileComboId);
    if (controls.ShowMessage(page, "Are you sure ?", ExecCaption(), MessageYesNo | MessageIconQuestion) ==
        MessageAnswerYes) {
        RemoveProfile(app, index);
    }
}

bool RunCommand(AppContext& app, int id, NativeHandle page)
{
    Controls& controls = ActiveControls();
    switch (id) {
    case CenterWheelId:
        // CenterWheel waits for the link and acts only while the wheel is ready.
        CenterWheel(app);
        return true;
    case CalibrateId:
        Calibrate(app);
        return true;
    case InvertId:
        ToggleWheelFlag(app, page, InvertId, InvertBit);
        return true;
    case ManualId:
        ToggleWheelFlag(app, page, ManualId, ManualBit);
        return true;
    case AutomaticUpdateId:
        SetFlag(app.flags, AutomaticUpdateBit, controls.IsChecked(page, id));
        return true;
    case DetectGameId:
        SetFlag(app.flags, DetectGameBit, controls.IsChecked(page, id));
        return true;
    case CheckNowId:
        CheckForUpdates(app, page, false);
        return true;
    case WheelComPortComboId:
        BoardPortChosen(app, page);
        return true;
    case GamingDeviceComboId:
        ControllerComboChanged(app, page);
        return true;
    case ProfileComboId:
        ProfileChosen(app, page);
        return true;
    case NewProfileId:
        NewProfile(app);
        return true;
    case EditProfileId:
        EditSelectedProfile(app, page);
        return true;
    case RemoveProfileId:
        RemoveSelectedProfile(app, page);
        return true;
    case ImportProfilesId:
        ImportProfiles(app, page);
        return true;
    case ExportProfilesId:
        ExportProfiles(app, page);
        return true;
    case AdvancedSettingsId:
        // Below "Wheel Found" the dialog could not talk to the board.
        if (app.linkState < LinkWheelFound) {
            controls.ShowMessage(page, "Could find the wheel device, please connect it and check firmware version",
                                 ExecCaption(), MessageIconInformation);
        } else {
            OpenAdvancedSettings(app);
        }
        return true;
    default:
        return false;
    }
}

void DrawInput(AppContext& app, uint32_t buttons)
{
    DrawWheelState(app.mainPage, app.liveAxes, buttons, app.params[MaxAngle].value);
}

void CheckQuietly(AppContext& app) { CheckForUpdates(app, app.mainPage, true); }

// A board found after start-up gets the selected profile, as at start-up,
// and the profile keeps its own values rather than the board's.
void ApplySelectedProfile(AppContext& app)
{
    if (GameProfile* profile = SelectedProfile(app)) ApplyProfile(app, *profile);
}

bool IsCombo(const AppContext& app, int id, NativeHandle page)
{
    if (page && page == app.drivePage) return id == DriveComPortComboId || id == DebugLevelComboId;
    return id == WheelComPortComboId || id == GamingDeviceComboId || id == ProfileComboId;
}

// Opening a port list fills it anew, so that a device plugged in after
// start-up shows up; the port the program holds stays in it.
void RefreshPortList(AppContext& app, int id, NativeHandle page)
{
    if (page == app.drivePage && id == DriveComPortComboId) {
        FillComPortList(page, id, app.driveComPort, app.driveBus >= 0);
    } else if (page != app.drivePage && id == WheelComPortComboId) {
        WaitLinkIdle(app);
        FillComPortList(page, id, app.boardComPort, app.boardPort.IsOpen());
    }
}

} // namespace

void InitMainPage(AppContext& app, NativeHandle page)
{
    app.mainPage = page;
    app.inputRead = DrawInput;
    app.updateCheckDue = CheckQuietly;
    app.wheelFound = ApplySelectedProfile;
    Controls& controls = ActiveControls();
    char version[16];
    std::snprintf(version, sizeof version, "%d.%d", VersionMajor, VersionMinor);
    controls.SetText(page, ToolVersionId, version);

    BindPage(app, page);
    ShowNoExternalGain(app);

    if (app.boardComPort == 0) app.boardComPort = FindComPortFromIds(BoardVendorId, BoardProductId);

    FillComPortList(page, WheelComPortComboId, app.boardComPort);
    if (app.boardComPort != 0) ConnectWheel(app, app.boardComPort);

    const int32_t wheelFlags = app.params[WheelFlags].value;
    controls.SetChecked(page, InvertId, (wheelFlags & InvertBit) != 0);
    controls.SetChecked(page, ManualId, (wheelFlags & ManualBit) != 0);
    controls.SetChecked(page, AutomaticUpdateId, (app.flags & AutomaticUpdateBit) != 0);
    controls.SetChecked(page, DetectGameId, (app.flags & DetectGameBit) != 0);

    FillControllerCombo(app, page);
    FillProfileCombo(app);
}

bool PageCommand(AppContext& app, int id, NativeHandle page)
{
    app.commandBusy = 1;
    const bool handled = page && page == app.drivePage ? DrivePageCommand(app, id, page) : RunCommand(app, id, page);
    app.commandBusy = 0;
    return handled;
}

bool PageNotified(AppContext& app, int id, int code, NativeHandle page)
{
    if (!IsCombo(app, id, page)) return PageCommand(app, id, page);
    if (code == ComboListOpening) RefreshPortList(app, id, page);
    return code == ComboSelectionChanged ? PageCommand(app, id, page) : true;
}

void PageTrackbarScrolled(AppContext& app, NativeHandle trackbar)
{
    ParamControl* record = FindParamControl(app, trackbar);
    if (!record) return;
    WaitLinkIdle(app);
    TrackbarChanged(app, *record);
    if (record == &app.params[TorqueBandwidth]) SendDriveBandwidth(app);
    if (GameProfile* profile = SelectedProfile(app)) StoreProfile(app, *profile);
}
