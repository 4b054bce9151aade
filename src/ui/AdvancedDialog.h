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

// Shows in each of the 36 mapping combo boxes the slot's own code, or
// "None" when that is not offered, as its one entry. The whole list of a
// box is made when the box opens its list or takes the focus: thirty-six
// lists are thousands of entries, a wait for the window each time the
// dialog opens or a pin changes.
void FillPinCombos(AppContext& app, NativeHandle dialog);

// Fills the slot's combo box with the codes the slot may take and selects
// its own code, or "None" when that is not offered.
void OfferPins(AppContext& app, NativeHandle dialog, int slot);

// Shows the current values in every control of the dialog.
void RefreshAdvanced(AppContext& app, NativeHandle dialog);
