#pragma once

#include "core/GameProfile.h"
#include "core/ParamSet.h"

#include <cstdint>

// The fifteen settings a profile holds, in the record's order, each with
// the parameter it mirrors and the range the board takes.
struct ProfileField {
    const char* name;
    ParamIndex param;
    int32_t minimum;
    int32_t maximum;
};

constexpr int ProfileFieldCount = 15;
extern const ProfileField ProfileFields[ProfileFieldCount];

// A field's value: the max angle whole, flags and filter zero-extended, the
// gains sign-extended.
int32_t FieldValue(const GameProfile& profile, int field);
// Stores a value into a field, cut to the field's width.
void SetFieldValue(GameProfile& profile, int field, int32_t value);
bool FieldInRange(int field, int32_t value);
// The value a new profile starts with.
int32_t FieldDefault(int field);

// Puts every field that is outside its range back to its default, with a
// line at level 0 naming the profile and the field.
void RepairProfile(GameProfile& profile);
// Stores the value when it is within the field's range; else the default,
// with that line.
void SetFieldChecked(GameProfile& profile, int field, int32_t value);
