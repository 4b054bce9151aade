#pragma once

#include "exec/ExecList.h"

#include <cstddef>
#include <cstdint>

// Reads the whole file into one block of the main pool holding exactly its
// bytes (no terminator); the size goes to *size. Null for a folder (errno
// EISDIR), and when the file cannot be opened or the block cannot be had.
// An empty file gives a block of size 0.
unsigned char* ReadWholeFile(const char* path, std::size_t* size);

// The size of the file in bytes, -1 when it cannot be opened.
long long FileSize(const char* path);

// True when the file can be opened for reading.
bool FileExists(const char* path);

// True when anything (a file, a folder), readable or not, is at the path.
bool PathExists(const char* path);

// Creates the file empty (or empties it). Reports
// "XR_CreateFile: Could not create file %s" on failure.
bool XR_CreateFile(const char* path);

// One drive of the machine, in the list "Drive list".
struct DriveInfo : ExecNode {
    uint32_t fileSystemFlags = 0;
    int number = 0;     // 1 for A:, 3 for C:
    unsigned type = 0;  // as GetDriveTypeA reports it
    char label[32] = {};
};

// Builds the drive list (empty where the system has no drive letters) and
// frees it again.
void ScanDriveList();
void FreeDriveList();
ExecList* DriveList();
