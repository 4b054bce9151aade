// Feeds arbitrary bytes to the script table reader, the section writer and
// ValueToInt. Any crash, sanitizer report or pool block left behind is a
// failure, and so is a rewritten section that changes a byte outside it,
// ends later than the reader ends it, or does not read back as written.

#include "exec/Memory.h"
#include "exec/ScriptKeywords.h"
#include "exec/ScriptTable.h"
#include "FuzzExec.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <stdlib.h>

namespace {

int TakeValues(uint16_t, ScriptValue* values)
{
    volatile uint32_t sum = 0;
    for (ScriptValue* v = values; v; v = v->next) sum = sum + static_cast<uint32_t>(ValueToInt(v->text));
    return static_cast<int>(sum & 0xFFFF);
}

char g_folder[] = "/dev/shm/vantor-fuzz-XXXXXX"; // tmpfs: the writer's flush costs nothing
char g_path[sizeof g_folder + 16];                 // the file that the writer rewrites

void RemoveFolder()
{
    std::remove(g_path);
    std::remove(g_folder);
}

int g_lines = 0;
int TakeWrittenLine(uint16_t, ScriptValue* values)
{
    g_lines += values && !values->next && std::strcmp(values->text, "a b") == 0 ? 1 : 100;
    return 0;
}

// Rewrites section GameProfiles of the input held as a file.
void CheckRewrite(const uint8_t* data, size_t size)
{
    std::FILE* file = std::fopen(g_path, "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) std::abort();
    void* loaded = GenericOpen(ScriptFormat(), g_path, ModeKeepKey | ModeCompletePath, OpenLoad);
    auto* table = static_cast<ScriptTable*>(loaded);
    if (!table) std::abort();
    // Where the reader leaves the section, taking every line's values up to its end.
    static const ScriptKeyword noKeywords[] = {{nullptr, 0, 0}};
    ParseSection(table, "GameProfiles", noKeywords, TakeValues);
    const auto readerStop = static_cast<std::size_t>(table->cursor - table->start);
    BeginSection(table, "GameProfiles");
    const std::size_t offset = table->sectionOffset;
    const std::size_t after = offset + table->sectionLength;
    if (table->sectionLength > 0 && after > readerStop) std::abort(); // a section the reader sees would go
    AddValue(AddLine(table, ProfileKeywords, 0), "a b");
    if (!WriteSection(table)) std::abort();

    // The bytes before and after the old section are kept; between them the
    // new section, after at most the line break that an appended one needs.
    const std::string before(reinterpret_cast<const char*>(data), size);
    const std::string written(table->start, table->end);
    const std::string section = "[GameProfiles]\r\nPROFILE=\"a b\"\r\n\r\n" + before.substr(after);
    if (written.size() < offset + section.size() || written.size() > offset + section.size() + 2 ||
        written.compare(0, offset, before, 0, offset) != 0 ||
        written.compare(written.size() - section.size(), section.size(), section) != 0)
        std::abort();
    g_lines = 0;
    ParseSection(table, "GameProfiles", ProfileKeywords, TakeWrittenLine);
    if (g_lines != 1) std::abort();
    RemoveResource(table);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (!mkdtemp(g_folder)) return 1;
    std::snprintf(g_path, sizeof g_path, "%s/fuzz.ini", g_folder);
    std::atexit(RemoveFolder);
    return StartFuzzExec(16u << 20);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::size_t before = MainRamFree();
    ScriptTable* table = OpenScriptText("fuzz", reinterpret_cast<const char*>(data), size);
    if (!table) std::abort();
    ParseSection(table, "Config", AppSettingsKeywords, TakeValues);
    ParseSection(table, nullptr, ProfileKeywords, TakeValues);
    ParseSection(table, "SERVER", ServerKeywords, TakeValues);
    ParseSection(table, "Exec", LanguageKeywords, TakeValues);
    BeginSection(table, "GameProfiles");
    AddValue(AddLine(table, ProfileKeywords, 0), "a b");
    WriteSection(table); // no file behind a text in memory: refused, lines freed
    RemoveResource(table);
    CheckRewrite(data, size);

    char text[64];
    const std::size_t length = size < sizeof text - 1 ? size : sizeof text - 1;
    std::memcpy(text, data, length);
    text[length] = '\0';
    ValueToInt(text);

    if (MainRamFree() != before) std::abort(); // a pool block was lost
    return 0;
}
