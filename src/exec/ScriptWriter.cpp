#include "exec/ScriptTable.h"

#include "exec/Memory.h"
#include "exec/OwnedText.h"
#include "exec/Paths.h"
#include "exec/ScriptKeywords.h"
#include "exec/ScriptText.h"
#include "platform/Clock.h"
#include "platform/FileReplace.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>

namespace {

constexpr std::size_t PathMax = 1024;
constexpr int RenameRetries = 5;
constexpr uint32_t RenameRetryDelay = 100; // milliseconds

bool NeedsQuotes(const char* text)
{
    return text[0] != '\0' && text[0] != '"' && (std::strchr(text, ' ') || std::strchr(text, '\''));
}

// Where the readable text ends: at a zero byte, a Ctrl-Z or the buffer's end.
const char* TextEnd(const ScriptTable* table)
{
    const char* p = table->start;
    while (p < table->end && *p != '\0' && *p != 26) ++p;
    return p;
}

// What goes between the text and a section appended at its end, so that
// the header starts a line of its own.
const char* BreakBefore(const ScriptTable* table, std::size_t offset)
{
    if (!table->sectionOnNewLine || offset == 0) return "";
    return table->start[offset - 1] == '\r' ? "\n" : "\r\n";
}

void Append(char*& out, const char* text, std::size_t length)
{
    if (length == 0) return;
    std::memcpy(out, text, length);
    out += length;
}

void Append(char*& out, const char* text) { Append(out, text, std::strlen(text)); }

} // namespace

std::size_t SectionText(const ScriptTable* table, char* out)
{
    std::size_t length = 0;
    auto put = [&](const char* text, std::size_t n) {
        if (out) Append(out, text, n);
        length += n;
    };
    auto puts = [&](const char* text) { put(text, std::strlen(text)); };
    puts("[");
    puts(table->sectionName);
    puts("]\r\n");
    for (const ScriptLine* line = table->lines; line; line = line->next) {
        puts(line->keyword);
        puts("=");
        for (const ScriptValue* value = line->values; value; value = value->next) {
            const char* text = value->text ? value->text : "";
            const bool quote = NeedsQuotes(text);
            if (quote) puts("\"");
            puts(text);
            if (quote) puts("\"");
            if (value->next) puts(",");
        }
        puts("\r\n");
    }
    puts("\r\n");
    return length;
}

namespace {

bool EnsureDirectory(const char* path)
{
    char directory[PathMax];
    DirectoryOf(path, directory, sizeof directory);
    if (directory[0] == '\0') return true;
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    return std::filesystem::is_directory(directory, error);
}

bool WriteWhole(std::FILE* file, const char* text, std::size_t size)
{
    const bool written = std::fwrite(text, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

// Puts the written temporary file in the file's place; a program that
// holds the file for a moment gets a few short waits to let it go.
bool ReplaceWithRetries(const char* temporary, const char* path)
{
    for (int retry = 0;; ++retry) {
        if (ReplaceFileWith(temporary, path)) return true;
        if (retry == RenameRetries) return false;
        ActiveClock().Sleep(RenameRetryDelay);
    }
}

// Writes the new text beside the file and then puts it in the file's place,
// so an interrupted write never leaves a half-written file behind. Where no
// file can be made beside it (a folder that only lets this file be written),
// or it cannot take the file's place, the file itself is rewritten.
bool WriteFileSafely(const char* path, const char* text, std::size_t size)
{
    // Through a symbolic link, the file changed is the link's target, in its
    // own folder; the new file takes the old one's mode and owner.
    const std::string target = FileBehindLinks(path);
    char temporary[PathMax + 8];
    const int length = std::snprintf(temporary, sizeof temporary, "%s.new", target.c_str());
    const bool fits = length > 0 && static_cast<std::size_t>(length) < sizeof temporary;
    if (std::FILE* file = fits ? std::fopen(temporary, "wb") : nullptr) {
        bool written = std::fwrite(text, 1, size, file) == size;
        written = FlushToDisk(file) && written;
        written = std::fclose(file) == 0 && written;
        if (written && TakeModeOf(target.c_str(), temporary) && ReplaceWithRetries(temporary, target.c_str()))
            return true;
        std::remove(temporary);
        // A text that could not be written beside the file (a full disk)
        // would only empty the file in its place.
        if (!written) return false;
    }
    std::FILE* inPlace = std::fopen(path, "wb");
    return inPlace && WriteWhole(inPlace, text, size);
}

} // namespace

void FreeScriptLines(ScriptTable* table)
{
    while (ScriptLine* line = table->lines) {
        table->lines = line->next;
        FreeValues(line->values);
        FreeMem(line);
    }
    table->lastLine = nullptr;
    FreeText(table->sectionName);
    table->sectionName = nullptr;
}

void BeginSection(ScriptTable* table, const char* section)
{
    FreeScriptLines(table);
    // Without a section name WriteSection writes nothing.
    if (!SectionNameFits("BeginSection", section)) return;
    table->sectionName = CopyText(section);
    const std::size_t size = static_cast<std::size_t>(table->end - table->start);
    const char* header = size ? FindSectionHeader(table, section) : nullptr;
    if (header) {
        table->sectionOffset = static_cast<std::size_t>(header - table->start);
        table->sectionLength = static_cast<std::size_t>(SectionEnd(table, table->cursor) - header);
        table->sectionOnNewLine = false;
    } else {
        // A new section goes at the end of the readable text; bytes after a
        // zero byte or a Ctrl-Z stay behind it.
        const char* textEnd = TextEnd(table);
        table->sectionOffset = static_cast<std::size_t>(textEnd - table->start);
        table->sectionLength = 0;
        // Appended after a last line without a line end, the header would
        // join that line.
        table->sectionOnNewLine = textEnd > table->start && textEnd[-1] != '\n';
    }
}

ScriptLine* AddLine(ScriptTable* table, const ScriptKeyword* keywords, uint16_t id)
{
    const ScriptKeyword* keyword = keywords;
    while (keyword->name && keyword->id != id) ++keyword;
    if (!keyword->name) return nullptr;
    void* memory = AllocMem(MemMainRam, sizeof(ScriptLine));
    if (!memory) return nullptr;
    auto* line = new (memory) ScriptLine;
    line->keyword = keyword->name;
    if (table->lastLine)
        table->lastLine->next = line;
    else
        table->lines = line;
    table->lastLine = line;
    return line;
}

void AddValue(ScriptLine* line, const char* text)
{
    if (!line) return;
    void* memory = AllocMem(MemMainRam, sizeof(ScriptValue));
    if (!memory) return;
    auto* value = new (memory) ScriptValue;
    if (!text || text[0] == '\0') {
        value->text = CopyText("\"\"");
    } else if (NeedsQuotes(text)) {
        const std::size_t length = std::strlen(text);
        value->text = static_cast<char*>(AllocMem(MemMainRam, length + 3));
        if (value->text) std::snprintf(value->text, length + 3, "\"%s\"", text);
    } else {
        value->text = CopyText(text);
    }
    if (line->lastValue)
        line->lastValue->next = value;
    else
        line->values = value;
    line->lastValue = value;
}

void AddNumber(ScriptLine* line, int32_t number)
{
    char text[16];
    std::snprintf(text, sizeof text, "%ld", static_cast<long>(number));
    AddValue(line, text);
}

ScriptLine* AddNumberLine(ScriptTable* table, uint16_t id, int32_t number)
{
    ScriptLine* line = AddLine(table, AppSettingsKeywords, id);
    AddNumber(line, number);
    return line;
}

bool WriteSection(ScriptTable* table)
{
    if (!table->path || !table->sectionName) {
        FreeScriptLines(table);
        return false;
    }
    // The bytes around the section come from the text the table holds, so
    // they are exactly those that were read.
    const std::size_t oldSize = static_cast<std::size_t>(table->end - table->start);
    const std::size_t offset = table->sectionOffset <= oldSize ? table->sectionOffset : oldSize;
    const std::size_t oldLength = table->sectionLength <= oldSize - offset ? table->sectionLength : oldSize - offset;
    const char* lineBreak = BreakBefore(table, offset);
    const std::size_t breakSize = std::strlen(lineBreak);
    const std::size_t sectionSize = SectionText(table, nullptr);
    const std::size_t newSize = offset + breakSize + sectionSize + (oldSize - offset - oldLength);

    auto* text = static_cast<char*>(AllocMem(MemMainRam, newSize));
    if (!text) {
        FreeScriptLines(table);
        return false;
    }
    char* out = text;
    Append(out, table->start, offset);
    Append(out, lineBreak);
    SectionText(table, out);
    out += sectionSize;
    Append(out, table->start + offset + oldLength, oldSize - offset - oldLength);

    const bool written = EnsureDirectory(table->path) && WriteFileSafely(table->path, text, newSize);
    FreeScriptLines(table);
    if (!written) {
        FreeMem(text);
        return false;
    }
    ReleaseScriptText(table);
    table->start = text;
    table->end = text + newSize;
    table->cursor = text;
    table->status = 0;
    return true;
}
