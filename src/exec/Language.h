#pragma once

#include "exec/ExecList.h"

#include <cstdint>

// One installed language, in the system list "Languages".
struct ExecLanguage : ExecNode {
    char* ownName = nullptr;  // the language's name for itself
    uint32_t index = 0;       // its column in the text tables
    uint8_t localeByte = 0;   // copied into the locale settings when current
    uint8_t flag = 0;
    uint16_t code = 0;        // Windows language code (1033 for English)
};

// The runtime's locale settings.
struct LocaleSettings {
    uint32_t language = 0; // current language index
    char listSeparator = ',';
    char decimalPoint = '.';
    uint8_t localeByte = 0;
};
LocaleSettings& Locale();

// Adds a language; a name already in the list keeps its old entry (a
// different index or code is reported at level 1).
void AddLanguage(const char* name, const char* ownName, uint8_t localeByte, uint32_t index, uint16_t code,
                 uint8_t flag);
ExecLanguage* LanguageOfIndex(uint32_t index);

// Adds English, then the LANG lines of section "Exec" of
// <base>System\Resources\Scripts\system.ini when that file exists.
void LoadLanguageList();

// The runtime's system lists: "Anchor" holding "UserTime", "UserData" and
// "Languages", and the list of languages itself.
void StartSystemLists();
void StopSystemLists();
ExecList* AnchorList();
ExecList* LanguageList();
