#pragma once

struct AppContext;

// "config.ini", section "Config": read at start, written at exit.
void LoadSettings(AppContext& app);
void SaveSettings(const AppContext& app);
