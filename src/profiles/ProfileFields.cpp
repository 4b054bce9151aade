#include "profiles/ProfileFields.h"

#include "exec/Log.h"

namespace {

constexpr int32_t AngleMin = 180;
constexpr int32_t AngleMax = 2160;
constexpr int32_t GainMax = 127;
constexpr int32_t FlagsMax = 7; // Invert, Manual and the motor direction
constexpr int32_t FilterMin = 1;
constexpr int32_t FilterMax = 31;

// Pointers to the fields in the record's order; their types differ, so
// each is reached through its own member pointer kind.
struct Access {
    uint32_t GameProfile::*whole;
    int8_t GameProfile::*gain;
    uint8_t GameProfile::*bits;
};

constexpr Access Fields[ProfileFieldCount] = {
    {&GameProfile::maxAngle, nullptr, nullptr},     {nullptr, &GameProfile::mainGain, nullptr},
    {nullptr, &GameProfile::gameSpring, nullptr},   {nullptr, &GameProfile::gameFriction, nullptr},
    {nullptr, &GameProfile::gameDamper, nullptr},   {nullptr, &GameProfile::gameInertia, nullptr},
    {nullptr, &GameProfile::gameConstant, nullptr}, {nullptr, &GameProfile::gameSine, nullptr},
    {nullptr, &GameProfile::forceTable, nullptr},   {nullptr, nullptr, &GameProfile::wheelFlags},
    {nullptr, nullptr, &GameProfile::filter},       {nullptr, &GameProfile::userSpring, nullptr},
    {nullptr, &GameProfile::userFriction, nullptr}, {nullptr, &GameProfile::userDamper, nullptr},
    {nullptr, &GameProfile::userInertia, nullptr},
};

} // namespace

const ProfileField ProfileFields[ProfileFieldCount] = {
    {"max angle", MaxAngle, AngleMin, AngleMax},
    {"main gain", MainGain, 0, GainMax},
    {"game spring", GameFxSpring, 0, GainMax},
    {"game friction", GameFxFriction, 0, GainMax},
    {"game damper", GameFxDamper, 0, GainMax},
    {"game inertia", GameFxInertia, 0, GainMax},
    {"game constant", GameFxConstant, 0, GainMax},
    {"game sine", GameFxSine, 0, GainMax},
    {"force table", ForceTable, 0, GainMax},
    {"wheel flags", WheelFlags, 0, FlagsMax},
    {"filter", Filter, FilterMin, FilterMax},
    {"user spring", UserFxSpring, 0, GainMax},
    {"user friction", UserFxFriction, 0, GainMax},
    {"user damper", UserFxDamper, 0, GainMax},
    {"user inertia", UserFxInertia, 0, GainMax},
};

int32_t FieldValue(const GameProfile& profile, int field)
{
    const Access& a = Fields[field];
    if (a.whole) return static_cast<int32_t>(profile.*a.whole);
    if (a.gain) return profile.*a.gain;
    return profile.*a.bits;
}

void SetFieldValue(GameProfile& profile, int field, int32_t value)
{
    const Access& a = Fields[field];
    if (a.whole) {
        profile.*a.whole = static_cast<uint32_t>(value);
    } else if (a.gain) {
        profile.*a.gain = static_cast<int8_t>(value);
    } else {
        profile.*a.bits = static_cast<uint8_t>(value);
    }
}

bool FieldInRange(int field, int32_t value)
{
    return value >= ProfileFields[field].minimum && value <= ProfileFields[field].maximum;
}

int32_t FieldDefault(int field) { return FieldValue(GameProfile{}, field); }

void SetFieldChecked(GameProfile& profile, int field, int32_t value)
{
    if (FieldInRange(field, value)) {
        SetFieldValue(profile, field, value);
        return;
    }
    const ProfileField& f = ProfileFields[field];
    LogPrintf(0, "Profile %s: %s %ld is outside %ld..%ld, taking %ld", profile.name, f.name, static_cast<long>(value),
              static_cast<long>(f.minimum), static_cast<long>(f.maximum), static_cast<long>(FieldDefault(field)));
    SetFieldValue(profile, field, FieldDefault(field));
}

void RepairProfile(GameProfile& profile)
{
    for (int f = 0; f < ProfileFieldCount; ++f) SetFieldChecked(profile, f, FieldValue(profile, f));
}
