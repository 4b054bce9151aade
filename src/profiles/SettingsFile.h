#pragma once

struct AppContext;

// "config.ini", section "Config": read at start, written at exit.

// Reads the file's keys into the application context; a missing file or key
// leaves the field as it was. Port numbers keep their low 8 bits, the GUID's
// Data2 and Data3 their low 16 and its Data4 values their low 8. A
// TORQUE_BW outside 0..11, a negative GAME_PROFILE_ID or a WINDOW_DURATION
// below 1 is not taken: the field keeps its value and a line at level 0
// says so.
void LoadSettings(AppContext& app);

// Writes the eight keys in their order, every value as a signed decimal.
// False, with a line at level 0, when the file was not written.
bool SaveSettings(const AppContext& app);
