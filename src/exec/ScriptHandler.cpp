#include "exec/ScriptTable.h"

#include "exec/Files.h"
#include "exec/Memory.h"
#include "exec/OwnedText.h"
#include "exec/ScriptText.h"

#include <cstring>
#include <new>

namespace {

constexpr uint16_t ScriptVersion = 2;
constexpr uint32_t ScriptMagic = 0x5B53435D; // "]CS[" in file order
constexpr uint32_t ScriptRecordSize = 124;

ResourceFormat* g_scripts = nullptr;

ScriptTable* NewTable(const char* path)
{
    void* memory = AllocMem(MemMainRam, sizeof(ScriptTable));
    if (!memory) return nullptr;
    auto* table = new (memory) ScriptTable;
    table->type = ResourceTypeScript;
    table->path = CopyText(path);
    return table;
}

// An open table of the same file whose text a new table can share. A file
// of the same name in another folder, or a text in memory named like the
// file, has a text of its own.
ScriptTable* OpenTableOfFile(const ResourceFormat* format, const char* path)
{
    if (!format || !path) return nullptr;
    for (ExecNode* node = format->head; node; node = node->next) {
        auto* table = static_cast<ScriptTable*>(node);
        if (table->path && std::strcmp(table->path, path) == 0) return table;
    }
    return nullptr;
}

void FreeTableRecord(ScriptTable* table)
{
    ReleaseScriptText(table);
    FreeScriptLines(table);
    FreeText(table->token);
    FreeText(table->path);
    table->type = NodeTypeInvalid;
    FreeMem(table);
}

int ScriptOperation(ResourceHandler* handler, uint16_t code, ResourceRequest* request)
{
    switch (code) {
    case ResourceOpCreate: {
        ScriptTable* table = NewTable(request->path);
        if (!table) return 0;
        // A table created under a name starts its file empty at once.
        XR_CreateFile(request->path);
        request->resource = table;
        return 1;
    }
    case ResourceOpLoad: {
        ScriptTable* table = NewTable(request->path);
        if (!table) return 0;
        if (ScriptTable* open = OpenTableOfFile(request->format, request->path)) {
            table->start = open->start;
            table->end = open->end;
        } else {
            std::size_t size = 0;
            auto* text = reinterpret_cast<char*>(ReadWholeFile(request->path, &size));
            if (!text) {
                FreeTableRecord(table);
                return 0;
            }
            table->start = text;
            table->end = text + size;
        }
        table->cursor = table->start;
        request->resource = table;
        return 1;
    }
    case ResourceOpUnload:
        FreeTableRecord(static_cast<ScriptTable*>(request->resource));
        return 0;
    case ResourceOpInstall:
        return 1;
    case ResourceOpShutdown:
        for (uint32_t i = 0; i < handler->formats.count; ++i) {
            auto* format = *static_cast<ResourceFormat**>(TableEntry(&handler->formats, i));
            while (ExecNode* node = format->head) {
                auto* table = static_cast<ScriptTable*>(node);
                Unlink(format, table);
                char* key = table->key;
                FreeTableRecord(table);
                FreeText(key);
            }
        }
        g_scripts = nullptr;
        return 1;
    default:
        return 0; // duplicating a script table is not supported
    }
}

} // namespace

void ReleaseScriptText(ScriptTable* table)
{
    if (!table->start) return;
    bool shared = false;
    if (g_scripts)
        for (ExecNode* node = g_scripts->head; node && !shared; node = node->next)
            shared = node != table && static_cast<ScriptTable*>(node)->start == table->start;
    if (!shared) FreeMem(table->start);
    table->start = table->end = table->cursor = nullptr;
}

bool StartScripts()
{
    ResourceHandlerDesc desc;
    desc.type = ResourceTypeScript;
    desc.version = ScriptVersion;
    desc.magic = ScriptMagic;
    desc.recordSize = ScriptRecordSize;
    desc.operation = ScriptOperation;
    desc.name = "Scripts";
    desc.directory = "";
    desc.extension = ".ini";
    if (!NewResourceHandler(desc)) return false;
    g_scripts = AddResourceFormat("Scripts", ResourceTypeScript);
    return g_scripts != nullptr;
}

ResourceFormat* ScriptFormat() { return g_scripts; }

ScriptTable* OpenScriptText(const char* name, const char* text, std::size_t size)
{
    if (!g_scripts) return nullptr;
    ScriptTable* table = NewTable(nullptr);
    if (!table) return nullptr;
    table->start = static_cast<char*>(AllocMem(MemMainRam, size));
    if (!table->start) {
        FreeTableRecord(table);
        return nullptr;
    }
    if (size) std::memcpy(table->start, text, size);
    table->end = table->start + size;
    table->cursor = table->start;
    table->key = CopyText(name);
    table->keyLength = static_cast<uint16_t>(std::strlen(name));
    table->name = table->key;
    table->references = 1;
    table->mode = ModeKeepKey;
    AddTail(g_scripts, table);
    return table;
}
