#include "profiles/Profiles.h"

#include "core/AppContext.h"
#include "board/BoardProtocol.h"
#include "board/ParamDisplay.h"
#include "platform/Controls.h"
#include "profiles/ProfileFields.h"

namespace {

constexpr int InvertCheckId = 2121;

void AddComboEntry(AppContext& app, GameProfile& profile)
{
    ActiveControls().AddComboItem(app.mainPage, ProfileComboId, profile.name, reinterpret_cast<intptr_t>(&profile));
}

void RefillCombo(AppContext& app)
{
    ActiveControls().ResetCombo(app.mainPage, ProfileComboId);
    for (int i = 0; i < app.profiles.Count(); ++i) AddComboEntry(app, *app.profiles.At(i));
}

// Sets a record's value and shows it on its controls.
void Put(AppContext& app, ParamIndex index, int32_t value)
{
    app.params[index].value = value;
    ShowValue(app.params[index]);
}

} // namespace

GameProfile* CreateProfile(AppContext& app, const char* name, const char* processName)
{
    GameProfile* profile = app.profiles.Append(name, processName);
    if (profile) AddComboEntry(app, *profile);
    return profile;
}

void StoreProfile(AppContext& app, GameProfile& profile)
{
    for (int f = 0; f < ProfileFieldCount; ++f) SetFieldValue(profile, f, app.params[ProfileFields[f].param].value);
}

void ApplyProfile(AppContext& app, GameProfile& profile)
{
    // Whatever the record went through, the board gets no value outside
    // its range.
    RepairProfile(profile);
    for (int f = 0; f < ProfileFieldCount; ++f) Put(app, ProfileFields[f].param, FieldValue(profile, f));
    ActiveControls().SetChecked(app.mainPage, InvertCheckId, (profile.wheelFlags & 1) != 0);
    SendProfile(app);
}

void SelectProfile(AppContext& app, int index)
{
    const int count = app.profiles.Count();
    if (count > 0 && index > count - 1) index = count - 1;
    app.currentProfile = index;
    ActiveControls().SelectComboItem(app.mainPage, ProfileComboId, index);
    if (GameProfile* profile = app.profiles.At(index)) ApplyProfile(app, *profile);
}

void FillProfileCombo(AppContext& app)
{
    if (app.profiles.Empty()) {
        // The board's values when it answered; a profile made without them
        // keeps the defaults of a new profile rather than the start values.
        GameProfile* profile = CreateProfile(app, "Default", "NoLife.exe");
        if (profile && app.paramsRead) StoreProfile(app, *profile);
    }
    RefillCombo(app);
    SelectProfile(app, app.currentProfile);
}

void RefreshProfileCombo(AppContext& app, bool current)
{
    RefillCombo(app);
    ActiveControls().SelectComboItem(app.mainPage, ProfileComboId, current ? app.currentProfile : -1);
}

void RemoveProfile(AppContext& app, int index)
{
    if (!app.profiles.At(index)) return;
    app.profiles.Remove(index);
    RefillCombo(app);
    SelectProfile(app, index - 1 > 0 ? index - 1 : 0);
}

GameProfile* SelectedProfile(AppContext& app)
{
    Controls& controls = ActiveControls();
    const int selected = controls.ComboSelection(app.mainPage, ProfileComboId);
    if (selected < 0) return nullptr;
    auto* profile = reinterpret_cast<GameProfile*>(controls.ComboItemData(app.mainPage, ProfileComboId, selected));
    // Only entries that hold one of the list's profiles count.
    return app.profiles.IndexOf(profile) >= 0 ? profile : nullptr;
}

int ProfileComboIndex(AppContext& app, const GameProfile* profile)
{
    Controls& controls = ActiveControls();
    for (int i = 0; i < app.profiles.Count(); ++i) {
        if (controls.ComboItemData(app.mainPage, ProfileComboId, i) == reinterpret_cast<intptr_t>(profile)) return i;
    }
    return -1;
}
