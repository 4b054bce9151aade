#pragma once

struct AppContext;

// "GameProfiles.ini", section "GameProfiles": read at start, written at exit.
void LoadProfiles(AppContext& app);
void SaveProfiles(AppContext& app);
