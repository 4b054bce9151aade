#pragma once

#include "core/ComPort.h"
#include "core/ParamSet.h"
#include "core/PinMap.h"
#include "core/ControllerEntry.h"
#include "core/ForceTrace.h"
#include "platform/NativeHandle.h"
#include "core/ProfileList.h"

#include <cstdint>

// The one application context record: constructed at program load with the
// defaults below, destroyed at program end. It sits below every subsystem,
// so each may take it; the subsystems above hand the ones below the hooks
// through which those tell them something.
struct AppContext {
    NativeHandle mutex = nullptr;      // the single-instance mutex
    NativeHandle mainWindow = nullptr; // main dialog 166
    NativeHandle mainPage = nullptr;   // page dialog 157
    NativeHandle drivePage = nullptr;  // page dialog 183, only with "dev"
    NativeHandle instance = nullptr;
    uint32_t flags = 0;                // FLAGS: bit 0 update check at start, bit 1 game detection
    uint32_t firmwareVersion = 0;      // 0 = not yet known
    uint32_t controllerObjectMask[3] = {};
    uint8_t boardComPort = 0;          // DEVICE_COM_PORT, 0 = none
    uint8_t driveComPort = 0;          // SM_COM_PORT, 0 = none
    uint8_t commandBusy = 0;           // 1 during start-up
    uint8_t updateCheckDone = 0;
    uint8_t linkBusy = 0;
    uint8_t linkState = 0;             // LinkState 0..4
    uint8_t replyLost = 0;             // a reply came too late: no read is believed until identified again
    uint8_t paramsRead = 0;            // the parameter set holds the board's values, every reply in time
    uint8_t missedStatus = 0;          // status exchanges without a reply, in a row
    int32_t currentSamples[3000] = {}; // ring of drive current samples
    int32_t maximumCurrent = 0;
    int32_t sampleIndex = 0;
    int32_t resetDelay = 2000;         // RESET_DELAY, milliseconds
    int32_t driveBus = -1;             // SimpleMotion bus handle, -1 = none
    uint8_t driveMisses = 0;           // statistics reads without an answer, in a row
    uint8_t bandwidthUnsent = 0;       // the drive did not take TORQUE_BW: it goes again once it answers
    uint64_t driveLookedFor = 0;       // when the drive's port was last tried again, milliseconds
    uint8_t driveAddress = 2;
    ParamControl params[ParamCount];   // the board parameter set, ParamIndex order
    PinMap pins{};                     // board parameters 36..75 and 25, 255 = none
    ComPort boardPort;                 // closed until the link opens it
    int32_t liveAxes[6] = {};          // X, Y, Z, Rx, Ry, Rz
    ControllerEntry controllers[MaxControllers];
    uint32_t controllerCount = 0;
    InputDevice currentController = nullptr;
    InputGuid usedController = {};     // USED_DEVICE_GUID
    ForceTrace forceTrace;             // the board's trace frames of the last ten seconds
    ProfileList profiles;              // the game profiles
    int32_t currentProfile = 0;        // GAME_PROFILE_ID
    // config.ini and GameProfiles.ini were there at start but could not be
    // read: this run does not write over what it never saw.
    bool settingsUnread = false;
    bool profilesUnread = false;

    // Fresh controller input (liveAxes, the first 32 buttons as bits) for
    // whoever draws it; none = not drawn.
    void (*inputRead)(AppContext& app, uint32_t buttons) = nullptr;
    // The force trace took a frame or time moved on (at most ten times a
    // second while the board traces), at the tick's clock; none = not drawn.
    void (*forceTraced)(AppContext& app, uint64_t now) = nullptr;
    // The board was identified again after start-up and its parameter set
    // read; none = nothing more happens.
    void (*wheelFound)(AppContext& app) = nullptr;
    // The link's first periodic step with the automatic update check on
    // (FLAGS bit 0), once per run; none = no check.
    void (*updateCheckDue)(AppContext& app) = nullptr;
    // The update check opened the new tool's download: the program is to
    // end; none = it goes on.
    void (*quitRequested)(AppContext& app) = nullptr;

    AppContext();
};

extern AppContext g_app;
