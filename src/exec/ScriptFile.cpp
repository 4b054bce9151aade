#include "exec/ScriptFile.h"

ScriptTable* OpenScriptFile(const char* name)
{
    if (!GenericOpen(ScriptFormat(), name, 0, OpenTestFile)) return nullptr;
    return static_cast<ScriptTable*>(GenericOpen(ScriptFormat(), name, ModeKeepKey, OpenLoad));
}

ScriptTable* OpenScriptFileForWriting(const char* name)
{
    if (ScriptTable* table = OpenScriptFile(name)) return table;
    return static_cast<ScriptTable*>(GenericOpen(ScriptFormat(), name, ModeKeepKey, OpenCreate));
}
