#include "profiles/GameProfiles.h"

// The profile list, its dialog and its file come with the game profiles;
// until then there are no profiles and these do nothing.
void FillProfileCombo(AppContext&) {}

void SelectProfile(AppContext&, int) {}

void StoreProfile(AppContext&, GameProfile&) {}

void RemoveProfile(AppContext&, int) {}

void EditProfile(AppContext&) {}

void NewProfile(AppContext&) {}
