#pragma once

#include <cstddef>
#include <cstdint>

// Longest name and process name a profile keeps; longer texts are cut.
constexpr std::size_t ProfileTextMax = 63;

// One game profile: the board settings a game gets, tied to the file name
// of the game's executable.
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
    char name[ProfileTextMax + 1] = {};
    char processName[ProfileTextMax + 1] = {};
};

// Copies a text into a profile's 64-byte field, cut to 63 characters.
void SetProfileText(char (&field)[ProfileTextMax + 1], const char* text);
