#include "exec/Resource.h"

#include "exec/Files.h"
#include "exec/Log.h"
#include "exec/Memory.h"
#include "exec/OwnedText.h"
#include "exec/Paths.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr const char* Source = "Exec\\Resource";
constexpr unsigned TypeCount = ResourceTypeLast - ResourceTypeFirst + 1;
constexpr uint32_t FormatTableStart = 16;
constexpr uint32_t FormatTableStep = 16;
constexpr std::size_t PathMax = 1024;

constexpr const char* TypeNames[TypeCount] = {
    "Font",         "Texture",   "Texture_Bank",  "Bitmap",   "Palette",       "Tool_Setup",     "Model",
    "Vertex_Table", "ViewContext", "Material",    "Light",    "Scene",         "unused_0",       "unused_1",
    "unused_2",     "unused_3",  "unused_4",      "unused_5", "unused_6",      "unused_7",       "Finder_object",
    "Script",       "Session",   "Block",         "Replay",   "Skin",          "Vertex_program", "Fragment_program",
    "Snd",          "Snd_bank",  "Snd_listener",  "Snd_acoustic", "Snd_group"};

ResourceHandler* g_slots[TypeCount] = {};
ExecList g_handlers;
char g_baseDirectory[512] = {};
char g_systemDirectory[520] = {};

ResourceFormat* FormatAt(const ResourceHandler* handler, uint32_t index)
{
    return *static_cast<ResourceFormat**>(TableEntry(&handler->formats, index));
}

ResourceHeader* FindKey(const ExecList* list, const char* key)
{
    for (ExecNode* node = list->head; node; node = node->next) {
        auto* resource = static_cast<ResourceHeader*>(node);
        if (resource->key && SameTextNoCase(resource->key, key)) return resource;
    }
    return nullptr;
}

// The list that holds the resource: one of its handler's registries.
ExecList* ListHolding(const ResourceHandler* handler, const ResourceHeader* resource)
{
    for (uint32_t i = 0; i < handler->formats.count; ++i) {
        ResourceFormat* format = FormatAt(handler, i);
        if (Contains(format, resource)) return format;
    }
    return nullptr;
}

uint32_t DuplicateMode(uint32_t mode)
{
    if (!(mode & ModeDuplicateKeep18)) mode &= ~uint32_t{0x18};
    if (!(mode & ModeDuplicateKeep4)) mode &= ~uint32_t{0x4};
    if (!(mode & ModeKeepInstall)) mode &= ~ModeInstall;
    return mode;
}

ResourceHeader* Install(ResourceHandler* handler, ResourceFormat* format, ResourceRequest& request, uint32_t mode)
{
    ResourceHeader* resource = request.resource;
    AddTail(format, resource);
    resource->references = 1;
    resource->mode = mode;
    resource->type = format->resourceType;
    if ((mode & ModeKeepKey) && !resource->key) {
        resource->key = CopyText(request.key);
        resource->keyLength = static_cast<uint16_t>(std::strlen(request.key));
        resource->name = resource->key;
    }
    if (mode & ModeInstall) {
        if (!handler->operation(handler, ResourceOpInstall, &request)) {
            ExecFailure(Source, __LINE__,
                        FormatTemp("Resource %s : Could not install resource %s", ResourceTypeName(format->resourceType),
                                   request.key));
            Unlink(format, resource);
            char* key = resource->key;
            if (handler->operation(handler, ResourceOpUnload, &request) == 0) FreeText(key);
            return nullptr;
        }
        resource->mode |= ModeInstalled;
    }
    return resource;
}

} // namespace

const char* ResourceTypeName(unsigned type)
{
    if (type < ResourceTypeFirst || type > ResourceTypeLast) return "?";
    return TypeNames[type - ResourceTypeFirst];
}

const char* BaseDirectory() { return g_baseDirectory; }
const char* SystemDirectory() { return g_systemDirectory; }

void StartResources(const char* baseDirectory)
{
    for (auto& slot : g_slots) slot = nullptr;
    InitList(&g_handlers, "Resource Handlers");
    std::snprintf(g_baseDirectory, sizeof g_baseDirectory, "%s", baseDirectory);
    AddTrailingSeparator(g_baseDirectory, sizeof g_baseDirectory);
    std::snprintf(g_systemDirectory, sizeof g_systemDirectory, "%sSystem%c", g_baseDirectory, PathSeparator);
    ScanDriveList();
}

void StopResources()
{
    while (ExecNode* node = g_handlers.head) KillResourceHandler(static_cast<ResourceHandler*>(node));
    FreeDriveList();
}

ResourceHandler* HandlerOfType(unsigned type)
{
    if (type < ResourceTypeFirst || type > ResourceTypeLast) return nullptr;
    return g_slots[type - ResourceTypeFirst];
}

ResourceHandler* NewResourceHandler(const ResourceHandlerDesc& desc)
{
    if (desc.type < ResourceTypeFirst || desc.type > ResourceTypeLast) {
        ExecFailure(Source, __LINE__, FormatTemp("NewResourceHandler: Unknown type %d, handler %s", desc.type, desc.name));
        return nullptr;
    }
    ResourceHandler*& slot = g_slots[desc.type - ResourceTypeFirst];
    if (auto* known = static_cast<ResourceHandler*>(FindName(&g_handlers, desc.name))) {
        if (slot == known) {
            ++known->uses;
            return known;
        }
        ExecFailure(Source, __LINE__,
                    FormatTemp("NewResourceHandler: Handler type conflict handler %s,type %d", desc.name, desc.type));
        return nullptr;
    }
    if (slot) {
        ExecFailure(Source, __LINE__,
                    FormatTemp("NewResourceHandler: Fatal error, resource type already used, handler %s,type %d",
                               desc.name, desc.type));
        return nullptr;
    }
    void* memory = AllocMem(MemMainRam, sizeof(ResourceHandler));
    if (!memory) return nullptr;
    auto* handler = new (memory) ResourceHandler;
    handler->name = CopyText(desc.name);
    handler->type = desc.type;
    handler->version = desc.version;
    handler->magic = desc.magic;
    handler->recordSize = desc.recordSize;
    handler->operation = desc.operation;
    handler->directory = CopyText(desc.directory ? desc.directory : "");
    handler->extension = CopyText(desc.extension ? desc.extension : "");
    handler->uses = 1;
    AddTable(&handler->formats, sizeof(ResourceFormat*), FormatTableStart);
    AddTail(&g_handlers, handler);
    slot = handler;
    return handler;
}

ResourceFormat* AddResourceFormat(const char* name, uint16_t type)
{
    ResourceHandler* handler = HandlerOfType(type);
    if (!handler) {
        ExecFailure(Source, __LINE__,
                    FormatTemp("Resource %s Error: Resource handler not installed for object %s", "Add", name));
        return nullptr;
    }
    void* memory = AllocMem(MemMainRam, sizeof(ResourceFormat));
    if (!memory) return nullptr;
    auto* format = new (memory) ResourceFormat;
    InitList(format, CopyText(name));
    format->resourceType = type;
    if (!AppendTableEntry(&handler->formats, &format, FormatTableStep)) {
        FreeText(const_cast<char*>(format->name));
        FreeMem(format);
        return nullptr;
    }
    return format;
}

void KillResourceHandler(ResourceHandler* handler)
{
    for (uint32_t i = 0; i < handler->formats.count; ++i) {
        ResourceFormat* format = FormatAt(handler, i);
        const int open = CountMembers(format);
        if (open == 0) continue;
        LogPrintf(1, "KillResourceHandler '%s' Reports %d element(s) in list %s", handler->name, open, format->name);
        for (ExecNode* node = format->head; node; node = node->next)
            LogPrintf(1, "Named : %s", node->name ? node->name : "");
    }
    // The shut-down operation empties the handler's registries while they still exist.
    handler->operation(handler, ResourceOpShutdown, nullptr);
    for (uint32_t i = 0; i < handler->formats.count; ++i) {
        ResourceFormat* format = FormatAt(handler, i);
        FreeText(const_cast<char*>(format->name));
        FreeMem(format);
    }
    FreeTable(&handler->formats);
    if (Contains(&g_handlers, handler)) Unlink(&g_handlers, handler);
    ResourceHandler*& slot = g_slots[handler->type - ResourceTypeFirst];
    if (slot == handler) slot = nullptr;
    FreeText(const_cast<char*>(handler->name));
    FreeText(handler->directory);
    FreeText(handler->extension);
    FreeMem(handler);
}

bool ResolveResourcePath(const ResourceHandler* handler, const char* name, uint32_t mode, char* out,
                         std::size_t outSize)
{
    const char* directory = handler->directory;
    const char* system = "";
    if ((mode & ModeCompletePath) || IsCompletePath(name))
        directory = "";
    else if (directory[0] != '\0' && !IsCompletePath(directory))
        system = g_systemDirectory;
    const char* extension = (mode & ModeAsNamed) || HasExtension(name) ? "" : handler->extension;
    const int length = std::snprintf(out, outSize, "%s%s%s%s", system, directory, name, extension);
    return length >= 0 && static_cast<std::size_t>(length) < outSize;
}

void* GenericOpen(ResourceFormat* format, const char* name, uint32_t mode, int kind)
{
    ResourceHandler* handler = format ? HandlerOfType(format->resourceType) : nullptr;
    if (!handler) {
        ExecFailure(Source, __LINE__,
                    FormatTemp("Resource %s Error: Resource handler not installed for object %s", "Open", name));
        return nullptr;
    }
    char path[PathMax];
    // A path cut to fit could name another file.
    if (!ResolveResourcePath(handler, name, mode, path, sizeof path)) {
        LogPrintf(0, "GenericOpen: path longer than %u characters refused: %s", static_cast<unsigned>(PathMax - 1),
                  name);
        return nullptr;
    }
    if (kind == OpenTestFile) return FileExists(path) ? reinterpret_cast<void*>(uintptr_t{1}) : nullptr;

    char key[PathMax];
    if (mode & ModeCompletePath)
        std::snprintf(key, sizeof key, "%s", name);
    else
        KeyNameOf(name, key, sizeof key);

    ResourceRequest request;
    request.path = path;
    request.key = key;
    request.format = format;
    request.mode = mode;
    const char* typeName = ResourceTypeName(format->resourceType);

    const bool wantsDuplicate = kind == OpenDuplicate || (mode & (ModeDuplicate | ModeDuplicateKeep4 | ModeDuplicateKeep18));
    if ((mode & ModeShare) || kind == OpenDuplicate) {
        if (ResourceHeader* shared = FindKey(format, key)) {
            if (!wantsDuplicate) {
                ++shared->references;
                return shared;
            }
            request.resource = shared;
            if (!handler->operation(handler, ResourceOpDuplicate, &request)) {
                ExecFailure(Source, __LINE__, FormatTemp("Resource %s : Could not duplicate resource %s", typeName, key));
                return nullptr;
            }
            return Install(handler, format, request, DuplicateMode(mode));
        }
    }
    switch (kind) {
    case OpenLoad:
        LogPrintf(3, "Creating resource %s", path);
        if (!handler->operation(handler, ResourceOpLoad, &request)) {
            if (!(mode & ModeSilent)) LogPrintf(1, "Resource %s : Could not open resource %s", typeName, path);
            return nullptr;
        }
        break;
    case OpenCreate:
        if (!handler->operation(handler, ResourceOpCreate, &request)) {
            ExecFailure(Source, __LINE__, FormatTemp("Resource %s : Could not create resource %s", typeName, key));
            return nullptr;
        }
        break;
    default:
        ExecFailure(Source, __LINE__, FormatTemp("Resource %s : Could not duplicate resource %s", typeName, key));
        return nullptr;
    }
    return Install(handler, format, request, mode);
}

int RemoveResource(void* pointer)
{
    if (!pointer) {
        ExecFailure(Source, __LINE__, "RemoveResource: Null pointer");
        return 0;
    }
    auto* resource = static_cast<ResourceHeader*>(pointer);
    const char* name = resource->name ? resource->name : "";
    if (resource->type < ResourceTypeFirst || resource->type > ResourceTypeLast) {
        ExecFailure(Source, __LINE__, FormatTemp("RemoveResource: Unknown type %d, name %s", resource->type, name));
        return 0;
    }
    ResourceHandler* handler = HandlerOfType(resource->type);
    if (!handler) {
        ExecFailure(Source, __LINE__,
                    FormatTemp("Resource %s Error: Resource handler not installed for object %s", "Remove", name));
        return 0;
    }
    if (resource->references == 0) {
        ExecFailure(Source, __LINE__,
                    FormatTemp("RemoveResource: resource %s already freed, (Type : %s)", name,
                               ResourceTypeName(resource->type)));
        return 1;
    }
    if (--resource->references > 0) return 1;

    ExecList* list = ListHolding(handler, resource);
    if (list) Unlink(list, resource);
    char* key = resource->key;
    ResourceRequest request;
    request.resource = resource;
    request.key = key;
    if (handler->operation(handler, ResourceOpUnload, &request) != 0) {
        if (list) AddTail(list, resource);
        resource->references = 1;
        ExecFailure(Source, __LINE__, FormatTemp("RemoveResource: Resource %s could not be removed", name));
        return 0;
    }
    FreeText(key);
    return 1;
}
