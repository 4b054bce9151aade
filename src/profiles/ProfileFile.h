#pragma once

struct AppContext;

// "GameProfiles.ini", section "GameProfiles": one PROFILE line per profile.

// Reads the file into the profile list; a missing file leaves it empty.
void LoadProfiles(AppContext& app);

// Writes the profile list to the file; the list stays as it is (the program
// may go on running after a save). False, with a line at level 0, when the
// file was not written.
bool SaveProfiles(AppContext& app);
