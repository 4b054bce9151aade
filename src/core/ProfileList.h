#pragma once

#include "core/GameProfile.h"

#include <cstddef>
#include <memory>
#include <vector>

// The game profiles in the order they were made: the file's order, then the
// profiles made during the run. Names are unique without regard to the case
// of a..z; other characters compare exactly.
class ProfileList {
public:
    // A new profile with the defaults and both texts (cut to 63 characters);
    // null when a profile of that name exists.
    GameProfile* Append(const char* name, const char* processName);
    GameProfile* Find(const char* name) const;
    // The position of the profile, -1 when it is not in the list.
    int IndexOf(const GameProfile* profile) const;
    GameProfile* At(int index) const;
    int Count() const { return static_cast<int>(profiles_.size()); }
    bool Empty() const { return profiles_.empty(); }
    void Remove(int index);
    // Releases every profile and the list's own storage.
    void Clear() { std::vector<std::unique_ptr<GameProfile>>().swap(profiles_); }

private:
    std::vector<std::unique_ptr<GameProfile>> profiles_;
};

// Compares two names as the list does: a..z equal A..Z.
bool SameProfileName(const char* a, const char* b);
