#include "profiles/ProfileImport.h"

#include "profiles/ProfileFile.h"

#include <cstdio>

namespace {

bool Checked(bool read, const std::vector<ProfileFault>& faults, ProfileImport& import)
{
    if (!read) return false;
    for (const ProfileFault& fault : faults) import.faults.push_back(fault.profile + ": " + fault.what);
    for (int i = 0; i < import.profiles.Count(); ++i) {
        const GameProfile& profile = *import.profiles.At(i);
        for (const auto& [what, text] : {std::pair{"name", profile.name}, std::pair{"process name", profile.processName}}) {
            if (const unsigned char c = ControlCharacter(text)) {
                char fault[64];
                std::snprintf(fault, sizeof fault, ": the %s holds the control character 0x%02X", what, c);
                import.faults.push_back(profile.name + std::string(fault));
            }
        }
    }
    if (import.profiles.Empty()) import.faults.push_back("no PROFILE line in a section [GameProfiles]");
    return true;
}

} // namespace

bool ReadProfileImport(const char* path, ProfileImport& import)
{
    std::vector<ProfileFault> faults;
    const bool read = ReadProfileFile(import.profiles, path, &faults);
    return Checked(read, faults, import);
}

bool ReadProfileImportText(const std::string& text, ProfileImport& import)
{
    std::vector<ProfileFault> faults;
    const bool read = ReadProfileText(import.profiles, text, &faults);
    return Checked(read, faults, import);
}

unsigned char ControlCharacter(const char* text)
{
    for (; *text; ++text) {
        const auto c = static_cast<unsigned char>(*text);
        if (c < 0x20 || c == 0x7f) return c;
    }
    return 0;
}

int AddImportedProfiles(ProfileList& list, const ProfileList& imported,
                        const std::function<bool(const GameProfile& kept)>& replace)
{
    int added = 0;
    for (int i = 0; i < imported.Count(); ++i) {
        const GameProfile& profile = *imported.At(i);
        GameProfile* kept = list.Find(profile.name);
        if (kept && !replace(*kept)) continue;
        if (!kept) kept = list.Append(profile.name, profile.processName);
        *kept = profile;
        ++added;
    }
    return added;
}
