#pragma once

#include "platform/NativeHandle.h"

#include <cstdint>

// The wheel state in the main page's "Status" group: the steering angle as
// an arrow turned by X (0..65535 over the maximum angle), the Y, Z and Rx
// axes as bars and the first 32 buttons (bit n = button n + 1 pressed).
// Drawn on the active canvas.
void DrawWheelState(NativeHandle page, const int32_t (&axes)[6], uint32_t buttons, int32_t maxAngle);
