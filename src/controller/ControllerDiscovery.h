#pragma once

#include "app/AppContext.h"

// Starts the game controllers for the main window. Returns an HRESULT;
// negative when the controller system could not be started.
long InitControllers(AppContext& app, NativeHandle mainWindow);

// Acquires the current game controller again after the window was activated.
void AcquireController(AppContext& app);
