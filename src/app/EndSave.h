#pragma once

struct AppContext;

// What a run keeps: writes "config.ini", copies the current values into the
// selected profile and writes "GameProfiles.ini". The program's exit and the
// end of the Windows session both come here; only the first call of a run
// writes (it sets `saved`), so a session that ends while the program is
// already on its way out does not write the files a second time. The profile
// list stays as it is, since the program may still be running.
void SaveSettingsAndProfiles(AppContext& app, bool& saved);
