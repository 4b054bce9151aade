#pragma once

#include <cstdint>

// One drive found by the scan.
struct DriveFacts {
    char label[32] = {};          // volume label, at most 31 characters
    uint32_t fileSystemFlags = 0;
    int number = 0;               // 1 for A:, 3 for C:
    unsigned type = 0;            // as GetDriveTypeA reports it
};

// Visits every drive from C: to Z: that the system reports, with the
// critical-error dialogs off, and calls found for each one that could be
// made current; the current drive and directory are the same afterwards.
// Systems without drive letters report none.
void ScanDrives(void (*found)(const DriveFacts& drive, void* context), void* context);
