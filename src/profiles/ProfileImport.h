#pragma once

#include "core/ProfileList.h"

#include <functional>
#include <string>
#include <vector>

// A file of profiles to be added to the list, as both the window and
// vantorctl take it: a file with any line the Windows tool would not take as
// it is written is refused whole.
struct ProfileImport {
    ProfileList profiles;
    // "NAME: what" for each damaged line (a value missing, out of its range
    // or no number, a text too long or with a control character, a name
    // twice), and a note when the file holds no profile; in the file's code page.
    std::vector<std::string> faults;
};

// Reads the file or the file's text held in memory; false when it cannot
// be read (errno tells why).
bool ReadProfileImport(const char* path, ProfileImport& import);
bool ReadProfileImportText(const std::string& text, ProfileImport& import);

// The control character a name or process name holds (below 0x20, or
// 0x7F), which the Windows tool refuses; 0 when none.
unsigned char ControlCharacter(const char* text);

// Adds the imported profiles to the list in their order; one whose name the
// list holds already takes that profile's place when `replace` says so for
// it, else is left out. Returns the profiles added or replaced.
int AddImportedProfiles(ProfileList& list, const ProfileList& imported,
                        const std::function<bool(const GameProfile& kept)>& replace);
