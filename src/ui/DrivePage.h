#pragma once

#include "core/AppContext.h"

// The drive and statistics page (dialog 183), below the main page with
// "dev" only: the live controller values, the motor current statistics
// and the board's centre offset, the drive's torque bandwidth, port and
// maintenance buttons.

// Control ids of the page that other code addresses.
constexpr int DriveComPortComboId = 1043;
constexpr int DebugLevelComboId = 1044;

// Start-up of the page, right after its dialog exists and the main page
// is set up: finds and opens the drive and binds the page's records.
void InitDrivePage(AppContext& app, NativeHandle page);

// A command of the page: true when it handled the id.
bool DrivePageCommand(AppContext& app, int id, NativeHandle page);
