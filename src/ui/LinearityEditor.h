#pragma once

#include "core/AppContext.h"

// The linearity editor (resource 153): the power curve of one analog axis,
// set with a trackbar whose every move goes to the board, and drawn with
// the axis's live position.
constexpr int LinearityEditorId = 153;

// Opens the editor, modal over the owner, for axis 0..3 (X, Y, Z, Rx, the
// axes with a curve), with command busy set while it is open. The axis's
// Linearity record is bound to it while it is open.
void OpenLinearityEditor(AppContext& app, NativeHandle owner, int axis);

// Draws the curve of the Linearity value (4.12 fixed point, the exponent)
// over the window's client area above its trackbar, with bars of the live
// axis value (0..65535): upright its share of the travel, across that
// share raised to the inverse exponent.
void DrawLinearity(NativeHandle window, int32_t linearity, int32_t live);
