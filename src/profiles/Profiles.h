#pragma once

#include "core/GameProfile.h"

struct AppContext;

// The main page's profile combo box: one entry per profile, in list order,
// with the profile as item data.
constexpr int ProfileComboId = 1207;

// A profile with the defaults, appended to the list and to the combo box;
// null when a profile of that name exists.
GameProfile* CreateProfile(AppContext& app, const char* name, const char* processName);

// Copies the current values of the fifteen profile settings into the profile.
void StoreProfile(AppContext& app, GameProfile& profile);

// Puts the profile's values on the trackbars and the "Invert" check box and
// sends them to the board.
void ApplyProfile(AppContext& app, GameProfile& profile);

// Makes the entry at the index (clamped to the last entry) the current
// profile and applies it.
void SelectProfile(AppContext& app, int index);

// Fills the combo box from the list (making "Default" when the list is
// empty) and selects the current profile.
void FillProfileCombo(AppContext& app);

// Fills the combo box from the list again without sending anything: the
// current profile stays selected, or none is when `current` is false (its
// values are then no longer those the board holds, and a trackbar moved
// before a profile is chosen must not write the board's into it).
void RefreshProfileCombo(AppContext& app, bool current);

// Removes the profile at the index, then selects the one before it.
void RemoveProfile(AppContext& app, int index);

// The profile of the combo box's selected entry, null when none is selected.
GameProfile* SelectedProfile(AppContext& app);

// The combo entry holding the profile, -1 when none does.
int ProfileComboIndex(AppContext& app, const GameProfile* profile);
