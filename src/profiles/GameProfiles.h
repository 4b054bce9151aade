#pragma once

#include <cstdint>

struct AppContext;

// One game profile: the force-feedback values a game gets, tied to the
// file name of its executable.
struct GameProfile {
    uint32_t maxAngle = 900;
    int8_t mainGain = 127;
    int8_t gameSpring = 127;
    int8_t gameFriction = 127;
    int8_t gameDamper = 127;
    int8_t gameInertia = 127;
    int8_t gameConstant = 127;
    int8_t gameSine = 127;
    int8_t forceTable = 127;
    uint8_t wheelFlags = 0;
    uint8_t filter = 16;
    int8_t userSpring = 0;
    int8_t userFriction = 0;
    int8_t userDamper = 0;
    int8_t userInertia = 0;
    char name[64] = {};
    char processName[64] = {};
};

// The profile that Edit and Remove refuse.
constexpr char DefaultProfileName[] = "Default";

// The main page's profile combo box; its items carry the GameProfile records.
constexpr int ProfileComboId = 1207;

// Fills the profile combo box at the end of the main page set-up and
// applies the current profile.
void FillProfileCombo(AppContext& app);

// Selects the profile at the index (GAME_PROFILE_ID), loads it into the
// trackbars and sends it to the board.
void SelectProfile(AppContext& app, int index);

// Copies the current values of the profile's fifteen controls into it.
void StoreProfile(AppContext& app, GameProfile& profile);

// Removes the profile at the index and selects its neighbour.
void RemoveProfile(AppContext& app, int index);

// The profile dialog on the selected profile, or for a new one.
void EditProfile(AppContext& app);
void NewProfile(AppContext& app);
