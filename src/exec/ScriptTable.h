#pragma once

#include "exec/Resource.h"

#include <cstddef>
#include <cstdint>

// A value of a line: its text (owned) and, when read, the two user words of
// the table it was read from.
struct ScriptValue {
    ScriptValue* next = nullptr;
    char* text = nullptr;
    uintptr_t user[2] = {};
};

// A line to write: the keyword (borrowed from the keyword table) and its values.
struct ScriptLine {
    ScriptLine* next = nullptr;
    const char* keyword = nullptr;
    ScriptValue* values = nullptr;
    ScriptValue* lastValue = nullptr;
};

// One entry of a keyword table; a table ends with an entry with no name.
struct ScriptKeyword {
    const char* name; // upper case
    uint16_t id;
    int16_t count; // values per line; ScriptAllValues: up to the end of the line
};
constexpr int16_t ScriptAllValues = 32767;

// Status bit: the reader reached the end of the text or of the section.
constexpr uint16_t ScriptAtEnd = 0x1;

// An open script table: a file (or a text in memory) as one byte buffer.
struct ScriptTable : ResourceHeader {
    char* path = nullptr;
    char* start = nullptr; // the text; no terminator is added
    char* end = nullptr;
    char* cursor = nullptr;
    char* token = nullptr;
    std::size_t tokenCapacity = 0;
    uint16_t status = 0;
    // Writing: the section being rewritten.
    std::size_t sectionOffset = 0;
    std::size_t sectionLength = 0;
    bool sectionOnNewLine = false; // the text does not end its last line
    char* sectionName = nullptr;
    ScriptLine* lines = nullptr;
    ScriptLine* lastLine = nullptr;
    uintptr_t user[2] = {};
};

// Called for every accepted line with the keyword's id and its values.
using ScriptCallback = int (*)(uint16_t id, ScriptValue* values);

// Registers the script handler (type 277, "Scripts", ".ini") and its
// registry "Scripts".
bool StartScripts();
ResourceFormat* ScriptFormat();

// A table made from a text in memory (copied); removed with RemoveResource.
ScriptTable* OpenScriptText(const char* name, const char* text, std::size_t size);

// Reading.
void ReadToken(ScriptTable* table);
bool FindSection(ScriptTable* table, const char* name);
// The next key, upper-cased, or null at the end of the section.
const char* NextKey(ScriptTable* table);
// The next value (a new owned record) or null at the end.
ScriptValue* NextValue(ScriptTable* table);
void ParseSection(ScriptTable* table, const char* section, const ScriptKeyword* keywords, ScriptCallback callback);
int32_t ValueToInt(const char* text);
// The next value of a list, converted; 0 when the list is exhausted.
int32_t NextValueAsInt(ScriptValue** values);
// The next value's text; "Missing parameter" when the list is exhausted.
const char* NextValueText(ScriptValue** values);
void FreeValues(ScriptValue* values);

// Writing.
void BeginSection(ScriptTable* table, const char* section);
ScriptLine* AddLine(ScriptTable* table, const ScriptKeyword* keywords, uint16_t id);
void AddValue(ScriptLine* line, const char* text);
void AddNumber(ScriptLine* line, int32_t number);
// A line of the application settings keyword table with one number.
ScriptLine* AddNumberLine(ScriptTable* table, uint16_t id, int32_t number);
bool WriteSection(ScriptTable* table);
// The text WriteSection puts in the file for the section; with out null
// only its length is counted.
std::size_t SectionText(const ScriptTable* table, char* out);
