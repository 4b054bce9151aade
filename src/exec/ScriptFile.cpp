#include "exec/ScriptFile.h"

#include "exec/Files.h"
#include "exec/Log.h"

ScriptTable* OpenScriptFile(const char* name, uint32_t mode)
{
    if (!GenericOpen(ScriptFormat(), name, mode, OpenTestFile)) return nullptr;
    return static_cast<ScriptTable*>(GenericOpen(ScriptFormat(), name, mode | ModeKeepKey, OpenLoad));
}

namespace {

// The file's full path, when the file is there.
bool FoundPath(const char* name, uint32_t mode, char (&path)[1024])
{
    const ResourceHandler* handler = HandlerOfType(ResourceTypeScript);
    return handler && ResolveResourcePath(handler, name, mode, path, sizeof path) && PathExists(path);
}

} // namespace

bool ScriptFileExists(const char* name, uint32_t mode)
{
    char path[1024];
    return FoundPath(name, mode, path);
}

ScriptTable* OpenScriptFileForWriting(const char* name, uint32_t mode)
{
    if (ScriptTable* table = OpenScriptFile(name, mode)) return table;
    // Creating the table would empty a file that is there but could not be
    // read (too big for the pool, a short read, not readable).
    char path[1024];
    if (FoundPath(name, mode, path)) {
        LogPrintf(0, "OpenScriptFileForWriting: %s exists but could not be read, it is left as it is", path);
        return nullptr;
    }
    return static_cast<ScriptTable*>(GenericOpen(ScriptFormat(), name, mode | ModeKeepKey, OpenCreate));
}
