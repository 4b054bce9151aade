#pragma once

#include "core/AppContext.h"

// The advanced settings dialog (resource 2123): how the wheel board is
// wired. Pin and axis choices go to the board at once; the command mode,
// PWM frequency and encoder resolution when the dialog ends with "Ok".
constexpr int AdvancedDialogId = 2123;
// Mapping combo boxes: 3000 + slot, slots 0..31 buttons 1..32, 32..35 the outputs.
constexpr int PinComboFirst = 3000;

// Opens the dialog over the main page, modal, with command busy set while
// it is open. The records it binds are free of it again when it ends.
void OpenAdvancedSettings(AppContext& app);

// Fills the 36 mapping combo boxes with the codes each slot may take and
// selects the slot's own code, or "None" when that is not offered.
void FillPinCombos(AppContext& app, NativeHandle dialog);

// Shows the current values in every control of the dialog.
void RefreshAdvanced(AppContext& app, NativeHandle dialog);
