#include "exec/RuntimeTexts.h"

#include "exec/Paths.h"
#include "exec/Resource.h"

#include <cstdio>

namespace {

struct TextTable {
    const char* name;
    uint32_t capacity;
    MText table;
};

TextTable g_tables[] = {{"TimeUnits", 10, {}}, {"MemUnits", 10, {}}, {"NominalUnits", 10, {}}, {"Date", 24, {}}};

} // namespace

void MakeRuntimeTexts()
{
    for (TextTable& t : g_tables) MakeMText(&t.table, t.capacity);
}

void LoadRuntimeTexts()
{
    char directory[1100];
    std::snprintf(directory, sizeof directory, "%sResources%cScripts%c", SystemDirectory(), PathSeparator,
                  PathSeparator);
    char path[1200];
    std::snprintf(path, sizeof path, "%s%s.xml", directory, "Exec");
    for (TextTable& t : g_tables) InstallMText(&t.table, path, t.name);
}

void FreeRuntimeTexts()
{
    for (TextTable& t : g_tables) FreeMText(&t.table);
}

const MText* RuntimeText(RuntimeTextId id) { return &g_tables[static_cast<int>(id)].table; }
