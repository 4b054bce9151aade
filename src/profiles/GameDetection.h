#pragma once

struct AppContext;

// Selects the profile of a game whose process is running; called from the
// tick every two seconds.
void DetectGame(AppContext& app);
