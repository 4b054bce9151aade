#include "core/StartSwitches.h"

#include <cctype>

StartSwitches g_switches;

namespace {

bool EqualsIgnoringCase(const char* text, const char* word)
{
    for (; *text && *word; ++text, ++word) {
        if (std::tolower(static_cast<unsigned char>(*text)) != *word) return false;
    }
    return *text == '\0' && *word == '\0';
}

} // namespace

StartSwitches ParseStartSwitches(const std::vector<std::string>& words)
{
    StartSwitches result;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.empty() || (word[0] != '/' && word[0] != '-')) continue;
        const char* rest = word.c_str() + 1;
        if (EqualsIgnoringCase(rest, "noxinput")) {
            result.noxinput = true;
        } else if (EqualsIgnoringCase(rest, "dev")) {
            result.dev = true;
        }
    }
    return result;
}
