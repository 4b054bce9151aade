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

// What the reader took otherwise than the line gives it, for one profile.
struct ProfileFault {
    std::string profile; // the name as the list keeps it
    std::string what;
    bool field; // a value missing or outside its range, for which the profile holds the default
};

// The same for any file of this format (a profile exported to a file of
// its own), by its path as written (no ".ini" is added). False when the file
// cannot be opened or written. The reader skips a line whose profile the
// list holds already, cuts a text to 63 characters and takes the default for
// a value that is missing or outside its field's range, each with a line at
// level 0 and, when `faults` is given, a fault.
bool ReadProfileFile(ProfileList& list, const char* path, std::vector<ProfileFault>* faults = nullptr);
bool WriteProfileFile(const ProfileList& list, const char* path);
// The same for the text of such a file held in memory; false when there is
// no memory for it.
bool ReadProfileText(ProfileList& list, const std::string& text, std::vector<ProfileFault>* faults);
std::string ProfileText(const ProfileList& list);
