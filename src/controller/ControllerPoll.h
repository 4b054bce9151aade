#pragma once

struct AppContext;

// Reads the current game controller: shows its axes, sliders and hat
// switches on the drive page (when it exists), keeps the axes as the live
// input and hands it to the context's inputRead hook. A controller that
// does not answer is acquired again and read on a later call. Returns 0.
int PollController(AppContext& app);
