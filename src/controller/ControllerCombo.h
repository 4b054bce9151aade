#pragma once

#include "core/AppContext.h"

// The main page's "Gaming Device :" combo box.
constexpr int GamingDeviceComboId = 1042;

// One line per controller (product name, table index as item data); selects
// the last entry whose instance GUID is the used one, else entry 0, and
// makes that entry's device current.
void FillControllerCombo(AppContext& app, NativeHandle page);

// A notification of the combo box: the controller of the selected entry
// becomes current when the entry is in the table.
void ControllerComboChanged(AppContext& app, NativeHandle page);
