// Feeds arbitrary bytes to the script table reader, the section locator of
// the writer and ValueToInt. Any crash, sanitizer report or pool block left
// behind is a failure.

#include "exec/Exec.h"
#include "exec/ExecConfig.h"
#include "exec/Memory.h"
#include "exec/ScriptKeywords.h"
#include "exec/ScriptTable.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

int TakeValues(uint16_t, ScriptValue* values)
{
    volatile uint32_t sum = 0;
    for (ScriptValue* v = values; v; v = v->next) sum = sum + static_cast<uint32_t>(ValueToInt(v->text));
    return static_cast<int>(sum & 0xFFFF);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    ExecConfig config;
    config.mainRamSize = 16u << 20;
    config.logMode = 0;
    std::strcpy(config.baseDirectory, "/nonexistent/");
    return InitExec(config) ? 0 : 1;
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

    char text[64];
    const std::size_t length = size < sizeof text - 1 ? size : sizeof text - 1;
    std::memcpy(text, data, length);
    text[length] = '\0';
    ValueToInt(text);

    if (MainRamFree() != before) std::abort(); // a pool block was lost
    return 0;
}
