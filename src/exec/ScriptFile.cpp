#include "exec/ScriptFile.h"

#include "exec/Files.h"
#include "exec/Log.h"

ScriptTable* OpenScriptFile(const char* name)
{
    if (!GenericOpen(ScriptFormat(), name, 0, OpenTestFile)) return nullptr;
    return static_cast<ScriptTable*>(GenericOpen(ScriptFormat(), name, ModeKeepKey, OpenLoad));
}

ScriptTable* OpenScriptFileForWriting(const char* name)
{
    if (ScriptTable* table = OpenScriptFile(name)) return table;
    // Creating the table would empty a file that is there but could not be
    // read (too big for the pool, a short read, not readable).
    char path[1024];
    const ResourceHandler* handler = HandlerOfType(ResourceTypeScript);
    if (handler && ResolveResourcePath(handler, name, 0, path, sizeof path) && PathExists(path)) {
        LogPrintf(0, "OpenScriptFileForWriting: %s exists but could not be read, it is left as it is", path);
        return nullptr;
    }
    return static_cast<ScriptTable*>(GenericOpen(ScriptFormat(), name, ModeKeepKey, OpenCreate));
}
