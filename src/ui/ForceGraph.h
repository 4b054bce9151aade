#pragma once

#include "core/ForceTrace.h"
#include "platform/NativeHandle.h"

#include <cstdint>

// The drive page's picture of the force: the board's torque trace of the
// last ten seconds as a line scrolling to the left (now at the right edge,
// zero in the middle, full scale ±32767 at the edges), a green stroke where
// an effect was created and a red one where the board reported an error.
// Drawn on the window (the page's graph control), scaled with its DPI.
void DrawForceGraph(NativeHandle window, const ForceTrace& trace, uint64_t now);

// The drive page's graph control.
constexpr int ForceGraphId = 2302;
