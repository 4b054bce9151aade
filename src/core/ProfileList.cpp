#include "core/ProfileList.h"

#include <cstring>

namespace {

char Folded(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

} // namespace

void SetProfileText(char (&field)[ProfileTextMax + 1], const char* text)
{
    const std::size_t length = text ? strnlen(text, ProfileTextMax) : 0;
    if (length) std::memcpy(field, text, length);
    field[length] = '\0';
}

bool SameProfileName(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b) {
        if (Folded(*a) != Folded(*b)) return false;
    }
    return *a == *b;
}

GameProfile* ProfileList::Append(const char* name, const char* processName)
{
    auto profile = std::make_unique<GameProfile>();
    SetProfileText(profile->name, name);
    SetProfileText(profile->processName, processName);
    // The name as it will be kept decides whether it is taken.
    if (Find(profile->name)) return nullptr;
    profiles_.push_back(std::move(profile));
    return profiles_.back().get();
}

GameProfile* ProfileList::Find(const char* name) const
{
    for (const auto& profile : profiles_) {
        if (SameProfileName(profile->name, name)) return profile.get();
    }
    return nullptr;
}

int ProfileList::IndexOf(const GameProfile* profile) const
{
    for (std::size_t i = 0; i < profiles_.size(); ++i) {
        if (profiles_[i].get() == profile) return static_cast<int>(i);
    }
    return -1;
}

GameProfile* ProfileList::At(int index) const
{
    if (index < 0 || index >= Count()) return nullptr;
    return profiles_[static_cast<std::size_t>(index)].get();
}

void ProfileList::Remove(int index)
{
    if (index < 0 || index >= Count()) return;
    profiles_.erase(profiles_.begin() + index);
}
