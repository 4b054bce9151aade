#pragma once

struct AppContext;

// "GameProfiles.ini", section "GameProfiles": one PROFILE line per profile.

// Reads the file into the profile list; a missing file leaves it empty.
void LoadProfiles(AppContext& app);

// Writes the profile list to the file, then releases the list. False, with
// a line at level 0, when the file was not written.
bool SaveProfiles(AppContext& app);
