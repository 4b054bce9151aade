#pragma once

#include "core/ProfileList.h"

#include <string>
#include <vector>

struct AppContext;

// "GameProfiles.ini", section "GameProfiles": one PROFILE line per profile.

// Reads the file into the profile list; a missing file leaves it empty.
void LoadProfiles(AppContext& app);

// Writes the profile list to the file; the list stays as it is (the program
// may go on running after a save). False, with a line at level 0, when the
// file was not written.
bool SaveProfiles(AppContext& app);

// The same for any file of this format (a profile exported to a file of
// its own), by a path the runtime resolves as it does the bare name. False
// when the file cannot be opened or written. The reader skips a line whose
// profile the list holds already, cuts a text to 63 characters and takes
// the default for a value that is missing or outside its field's range,
// each with a line at level 0; `faults`, when given, also gets one text
// "<profile>: <what>" for each of them.
bool ReadProfileFile(ProfileList& list, const char* path, std::vector<std::string>* faults = nullptr);
bool WriteProfileFile(const ProfileList& list, const char* path);
