#pragma once

struct AppContext;

// The 33 ms timer tick of the main window: the periodic jobs in their order.
// Returns 0 always.
int Tick(AppContext& app);
