#include "app/EndSave.h"

#include "core/AppContext.h"
#include "profiles/ProfileFile.h"
#include "profiles/Profiles.h"
#include "profiles/SettingsFile.h"

UnsavedFiles SaveSettingsAndProfiles(AppContext& app, bool& saved)
{
    if (saved) return {};
    saved = true;
    UnsavedFiles unsaved;
    unsaved.settings = !SaveSettings(app);
    if (GameProfile* profile = SelectedProfile(app)) StoreProfile(app, *profile);
    unsaved.profiles = !SaveProfiles(app);
    return unsaved;
}
