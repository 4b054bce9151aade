#include "exec/MText.h"

#include "exec/Language.h"
#include "exec/Log.h"
#include "exec/OwnedText.h"
#include "exec/ScriptTable.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* Source = "Exec\\MultiLang";
constexpr uint32_t GrowStep = 32;
constexpr int MaxCells = 256;

struct Span {
    const char* begin = nullptr;
    const char* end = nullptr;
    bool Equals(const char* text) const
    {
        const std::size_t length = std::strlen(text);
        return static_cast<std::size_t>(end - begin) == length && std::memcmp(begin, text, length) == 0;
    }
};

bool NameAt(const char* p, const char* end, const char* name)
{
    for (; *name; ++name, ++p)
        if (p >= end || std::tolower(static_cast<unsigned char>(*p)) != std::tolower(static_cast<unsigned char>(*name)))
            return false;
    return true;
}

// Finds the element's start tag from p; the content (after the tag's '>')
// runs to its end tag. False when there is none before end.
bool FindElement(const char* p, const char* end, const char* name, Span* content, const char** after)
{
    const std::size_t length = std::strlen(name);
    for (; p < end; ++p) {
        if (*p != '<' || !NameAt(p + 1, end, name)) continue;
        const char* q = p + 1 + length;
        if (q >= end || (*q != ' ' && *q != '>')) continue;
        while (q < end && *q != '>') ++q;
        if (q >= end) return false;
        content->begin = q + 1;
        const char* close = content->begin;
        while (close < end && !(close[0] == '<' && close + 1 < end && close[1] == '/' && NameAt(close + 2, end, name) &&
                                close + 2 + length < end && close[2 + length] == '>'))
            ++close;
        content->end = close;
        *after = close < end ? close + 3 + length : end;
        return true;
    }
    return false;
}

// The worksheet read row by row.
struct Sheet {
    Sheet(const char* text, const char* textEnd) : cursor(text), end(textEnd) {}
    const char* cursor;
    const char* end;
    bool stopped = false; // a cell without data ends the reading
    Span cells[MaxCells];
    int cellCount = 0;

    bool NextRow()
    {
        Span row;
        const char* after = nullptr;
        if (stopped || !FindElement(cursor, end, "Row", &row, &after)) return false;
        cursor = after;
        cellCount = 0;
        const char* p = row.begin;
        Span cell;
        while (FindElement(p, row.end, "Cell", &cell, &after)) {
            p = after;
            Span data;
            const char* dataAfter = nullptr;
            if (!FindElement(cell.begin, cell.end, "Data", &data, &dataAfter)) {
                stopped = true;
                return cellCount > 0;
            }
            if (cellCount < MaxCells) cells[cellCount++] = data;
        }
        return true;
    }

    bool RowHas(const char* text) const
    {
        for (int i = 0; i < cellCount; ++i)
            if (cells[i].Equals(text)) return true;
        return false;
    }

    bool FindRowWith(const char* text)
    {
        while (NextRow())
            if (RowHas(text)) return true;
        return false;
    }
};

void EmptyEntries(MText* table)
{
    for (uint32_t i = 0; i < table->entries.count; ++i) FreeText(static_cast<MTextEntry*>(TableEntry(&table->entries, i))->text);
    RewindTable(&table->entries);
}

bool ReadTable(MText* table, ScriptTable* file, const char* name)
{
    LocaleSettings& locale = Locale();
    const ExecLanguage* language = LanguageOfIndex(locale.language);
    if (!language) {
        ExecFailure(Source, __LINE__,
                    FormatTemp("FindScriptLanguageMarker: Could not find installed language %d",
                               static_cast<int>(locale.language)));
        return false;
    }
    Sheet sheet(file->start, file->end);
    char marker[300];
    std::snprintf(marker, sizeof marker, "[%s]", language->name);
    if (!sheet.FindRowWith(marker)) {
        LogPrintf(1, "FindScriptLanguageMarker: Could not find language %s in script %s", language->name,
                  file->path ? file->path : "");
        LogPrintf(1, "Defaulting to English.");
        locale.language = 0;
        return false;
    }
    std::snprintf(marker, sizeof marker, "[%s]", name);
    if (!sheet.FindRowWith(marker)) return false;

    EmptyEntries(table);
    table->language = locale.language;
    while (sheet.NextRow()) {
        if (sheet.cellCount == 0) continue;
        const int column = locale.language < static_cast<uint32_t>(sheet.cellCount) ? static_cast<int>(locale.language)
                                                                                     : sheet.cellCount - 1;
        const Span& cell = sheet.cells[column];
        if (cell.begin == cell.end || cell.begin[0] == '[') continue;
        const auto length = static_cast<std::size_t>(cell.end - cell.begin);
        MTextEntry entry{CopyTextPart(cell.begin, length), static_cast<uint32_t>(length + 1)};
        if (!entry.text || !AppendTableEntry(&table->entries, &entry, GrowStep)) FreeText(entry.text);
    }
    return true;
}

} // namespace

bool MakeMText(MText* table, uint32_t capacity)
{
    table->language = 0xFFFF;
    return AddTable(&table->entries, sizeof(MTextEntry), capacity);
}

void FreeMText(MText* table)
{
    EmptyEntries(table);
    FreeTable(&table->entries);
    table->language = 0xFFFF;
}

int InstallMText(MText* table, const char* path, const char* name)
{
    if (table->language == Locale().language) return 1;
    ResourceFormat* scripts = ScriptFormat();
    ScriptTable* file = nullptr;
    if (scripts && GenericOpen(scripts, path, ModeCompletePath, OpenTestFile))
        file = static_cast<ScriptTable*>(GenericOpen(scripts, path, ModeCompletePath | ModeSilent, OpenLoad));
    if (!file) {
        LogPrintf(1, "InstallMText: Could not open %s", path);
        return 0;
    }
    const bool loaded = ReadTable(table, file, name);
    RemoveResource(file);
    return loaded ? 1 : 0;
}

const char* MTextString(const MText* table, uint32_t number)
{
    if (number >= table->entries.count) return nullptr;
    const auto* entry = static_cast<const MTextEntry*>(TableEntry(&table->entries, number));
    return entry->text ? entry->text : "Invalid Multi Lang Table";
}
