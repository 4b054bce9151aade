#include "exec/Files.h"

#include "exec/Log.h"
#include "exec/Memory.h"
#include "platform/DriveScan.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

namespace {

constexpr const char* Source = "Exec\\File";
ExecList g_drives;

void AddDrive(const DriveFacts& facts, void*)
{
    void* memory = AllocMem(MemMainRam, sizeof(DriveInfo));
    if (!memory) return;
    auto* drive = new (memory) DriveInfo;
    std::memcpy(drive->label, facts.label, sizeof drive->label);
    drive->label[sizeof drive->label - 1] = '\0';
    drive->name = drive->label;
    drive->fileSystemFlags = facts.fileSystemFlags;
    drive->number = facts.number;
    drive->type = facts.type;
    AddTail(&g_drives, drive);
}

} // namespace

long long FileSize(const char* path)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return -1;
    long long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    std::fclose(file);
    return size;
}

bool FileExists(const char* path)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    std::fclose(file);
    return true;
}

bool PathExists(const char* path)
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}

unsigned char* ReadWholeFile(const char* path, std::size_t* size)
{
    // A folder opens as a stream whose end lies beyond any memory.
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        errno = EISDIR;
        return nullptr;
    }
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return nullptr;
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) length = std::ftell(file);
    unsigned char* block = nullptr;
    if (length >= 0 && std::fseek(file, 0, SEEK_SET) == 0) {
        const auto bytes = static_cast<std::size_t>(length);
        block = static_cast<unsigned char*>(AllocMem(MemMainRam, bytes));
        if (block && std::fread(block, 1, bytes, file) != bytes) {
            FreeMem(block);
            block = nullptr;
        }
        if (block) *size = bytes;
    }
    std::fclose(file);
    return block;
}

bool XR_CreateFile(const char* path)
{
    std::FILE* file = std::fopen(path, "wb");
    if (!file) {
        ExecFailure(Source, __LINE__, FormatTemp("XR_CreateFile: Could not create file %s", path));
        return false;
    }
    std::fclose(file);
    return true;
}

void ScanDriveList()
{
    InitList(&g_drives, "Drive list");
    ScanDrives(AddDrive, nullptr);
}

void FreeDriveList() { EmptyList(&g_drives, sizeof(DriveInfo)); }

ExecList* DriveList() { return &g_drives; }
