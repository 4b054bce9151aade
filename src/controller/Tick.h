#pragma once

#include <cstdint>

struct AppContext;

// When each periodic job of the tick last ran, in clock milliseconds; all 0
// at start, so the first tick runs them all.
struct TickStamps {
    uint64_t board = 0;
    uint64_t drive = 0;
    uint64_t game = 0;
    uint64_t forceDrawn = 0;
};

extern TickStamps g_tickStamps;

// The 33 ms timer tick of the main window, in this order: the board
// connection step (more than 1000 ms apart) and, with "dev", the drive
// statistics (more than 100 ms apart), both only while command busy is
// clear; game detection (more than 2000 ms apart); one board trace frame
// into the log and the force trace while the board's debug level is above
// 0, the trace drawn then (more than 100 ms apart); the controller poll.
// Returns 0 always.
int Tick(AppContext& app, bool minimisedToTray);
