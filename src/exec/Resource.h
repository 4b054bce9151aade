#pragma once

#include "exec/ExecList.h"
#include "exec/ExecTable.h"

#include <cstdint>

// Resource types run from 256 to 288.
constexpr uint16_t ResourceTypeFirst = 256;
constexpr uint16_t ResourceTypeLast = 288;
constexpr uint16_t ResourceTypeScript = 277;

// The name of a resource type ("Script" for 277); "?" outside the range.
const char* ResourceTypeName(unsigned type);

// Kinds of GenericOpen.
constexpr int OpenCreate = 0;     // an empty named resource
constexpr int OpenTestFile = 4;   // only test that the file exists
constexpr int OpenLoad = 13;      // load the file
constexpr int OpenDuplicate = 14; // duplicate

// Mode flags of GenericOpen.
constexpr uint32_t ModeInstalled = 0x1;
constexpr uint32_t ModeKeepKey = 0x40;
constexpr uint32_t ModeShare = 0x80;
constexpr uint32_t ModeInstall = 0x100;
constexpr uint32_t ModeCompletePath = 0x200;
// With ModeShare, duplicate a resource found open instead of counting a
// reference. The duplicate keeps the mode bits 0x8 and 0x10 only with
// ModeDuplicateKeep18, 0x4 only with ModeDuplicateKeep4 and ModeInstall
// only with ModeKeepInstall.
constexpr uint32_t ModeDuplicate = 0x400;
constexpr uint32_t ModeDuplicateKeep4 = 0x800;
constexpr uint32_t ModeDuplicateKeep18 = 0x1000;
constexpr uint32_t ModeKeepInstall = 0x2000;
constexpr uint32_t ModeSilent = 0x4000;
// The file is named as written: no extension is added to a name without one.
constexpr uint32_t ModeAsNamed = 0x8000;

// First part of every resource record.
struct ResourceHeader : ExecNode {
    char* key = nullptr; // owned when copied at installation (ModeKeepKey)
    uint16_t keyLength = 0;
    uint32_t references = 0;
    uint32_t mode = 0;
};

struct ResourceHandler;
struct ResourceFormat;

// Operation codes of a handler's operation function.
constexpr uint16_t ResourceOpCreate = 0;
constexpr uint16_t ResourceOpShutdown = 1;
constexpr uint16_t ResourceOpUnload = 3;
constexpr uint16_t ResourceOpInstall = 10;
constexpr uint16_t ResourceOpLoad = 13;
constexpr uint16_t ResourceOpDuplicate = 14;

// What an operation works on: the path and key of the resource, its
// registry, and the record (given for unload, install and duplicate; set by
// create, load and duplicate).
struct ResourceRequest {
    const char* path = nullptr;
    const char* key = nullptr;
    ResourceFormat* format = nullptr;
    ResourceHeader* resource = nullptr;
    uint32_t mode = 0;
};

// Create, load, install and duplicate return 1 on success and 0 on
// failure; unload returns 0 on success.
using ResourceOperation = int (*)(ResourceHandler* handler, uint16_t code, ResourceRequest* request);

// What NewResourceHandler is given.
struct ResourceHandlerDesc {
    uint16_t type = 0;
    uint16_t version = 0;
    uint32_t magic = 0;
    uint32_t recordSize = 0;
    ResourceOperation operation = nullptr;
    const char* name = nullptr;
    const char* directory = nullptr;
    const char* extension = nullptr;
    uint16_t spare = 0;
};

struct ResourceHandler : ExecNode {
    uint16_t version = 0;
    uint32_t magic = 0;
    uint32_t recordSize = 0;
    ResourceOperation operation = nullptr;
    char* directory = nullptr;
    char* extension = nullptr;
    uint16_t uses = 0;
    ExecTable formats; // ResourceFormat* entries: 16 at first, grown by 16
};

// A named registry of open resources of one type.
struct ResourceFormat : ExecList {
    uint16_t resourceType = 0;
};

// Starts the resource system: the handler list, the base and system
// directories (from the base directory of the runtime) and the drive list.
void StartResources(const char* baseDirectory);
// Removes every handler with its resources, and the drive list.
void StopResources();

const char* BaseDirectory();
const char* SystemDirectory();

// Registers the handler for its type or counts one more use of it.
ResourceHandler* NewResourceHandler(const ResourceHandlerDesc& desc);
// Adds a registry of the handler's type to its table.
ResourceFormat* AddResourceFormat(const char* name, uint16_t type);
void KillResourceHandler(ResourceHandler* handler);
ResourceHandler* HandlerOfType(unsigned type);

// Opens a resource by name; kind 4 returns 1 (as a pointer value) when the
// file exists and null otherwise, and opens nothing.
void* GenericOpen(ResourceFormat* format, const char* name, uint32_t mode, int kind);
// Drops one reference: 1 when dropped, 0 on failure.
int RemoveResource(void* resource);

// The full path of a file as GenericOpen resolves it; false when it does
// not fit in outSize (the path is then not to be used).
bool ResolveResourcePath(const ResourceHandler* handler, const char* name, uint32_t mode, char* out,
                         std::size_t outSize);
