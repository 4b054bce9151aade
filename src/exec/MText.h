#pragma once

#include "exec/ExecTable.h"

#include <cstdint>

// A table of texts in the current language, read from a spreadsheet saved
// as XML in which each language is a column.
struct MText {
    ExecTable entries;           // MTextEntry records
    uint32_t language = 0xFFFF;  // the language it was loaded for; 65535 when never loaded
};

struct MTextEntry {
    char* text;
    uint32_t capacity;
};

// Room for capacity entries at first; the table grows by 32.
bool MakeMText(MText* table, uint32_t capacity);
void FreeMText(MText* table);

// Loads the table named name from the XML file at path for the current
// language: 1 on success or when already loaded for it, 0 otherwise.
int InstallMText(MText* table, const char* path, const char* name);

// The text of the given number; null beyond the table, "Invalid Multi Lang
// Table" for an entry without text.
const char* MTextString(const MText* table, uint32_t number);
