#pragma once

#include "core/AppContext.h"

// Finding the force-feedback game controllers, keeping the table of them
// and making one current, through the active game input system.

// Starts the controller system for the main window and fills the table
// (at most 16 entries). Returns an HRESULT; negative when the system could
// not be started or enumerated.
long InitControllers(AppContext& app, NativeHandle mainWindow);

// Makes the device current: sets its axis ranges to 0..65535, records which
// axes, sliders and hat switches it has, stores its instance GUID as the
// used one and updates the drive page's input controls. 0 for no device and
// on success, else the failing HRESULT of the object enumeration.
long SelectController(AppContext& app, InputDevice device);

// Enables the drive page's twelve input value/label pairs by the object
// mask; nothing without that page.
void EnableInputControls(const AppContext& app, NativeHandle drivePage);

// Acquires the current game controller again after the window was activated.
void AcquireController(AppContext& app);
