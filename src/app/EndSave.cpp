#include "app/EndSave.h"

#include "core/AppContext.h"
#include "profiles/ProfileFile.h"
#include "profiles/Profiles.h"
#include "profiles/SettingsFile.h"

#include <utility>

namespace {

// SaveProfiles releases the list it has written, while the profile combo and
// an open profile dialog still point at the records: the file is written
// from copies, and the program's own list stays.
void WriteProfiles(AppContext& app)
{
    ProfileList copies;
    for (int i = 0; i < app.profiles.Count(); ++i) {
        const GameProfile& profile = *app.profiles.At(i);
        // The names are unique already, so every copy is taken.
        *copies.Append(profile.name, profile.processName) = profile;
    }
    std::swap(app.profiles, copies);
    SaveProfiles(app);
    std::swap(app.profiles, copies);
}

} // namespace

void SaveSettingsAndProfiles(AppContext& app, bool& saved)
{
    if (saved) return;
    saved = true;
    SaveSettings(app);
    if (GameProfile* profile = SelectedProfile(app)) StoreProfile(app, *profile);
    WriteProfiles(app);
}
