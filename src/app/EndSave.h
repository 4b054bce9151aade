#pragma once

struct AppContext;

// The files a save could not write; their previous contents stay.
struct UnsavedFiles {
    bool settings = false;
    bool profiles = false;
};

// What a run keeps: writes "config.ini", copies the current values into the
// selected profile and writes "GameProfiles.ini". The program's exit and the
// end of the Windows session both come here; only the first call of a run
// writes (it sets `saved`), so a session that ends while the program is
// already on its way out does not write the files a second time, and a later
// call reports nothing unsaved. The profile list stays as it is, since the
// program may still be running.
UnsavedFiles SaveSettingsAndProfiles(AppContext& app, bool& saved);
