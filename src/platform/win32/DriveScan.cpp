#include "platform/DriveScan.h"

#include <direct.h>
#include <windows.h>

void ScanDrives(void (*found)(const DriveFacts& drive, void* context), void* context)
{
    const int previousDrive = _getdrive();
    char previousDirectory[MAX_PATH] = {};
    const bool haveDirectory = GetCurrentDirectoryA(MAX_PATH, previousDirectory) != 0;

    SetErrorMode(SEM_FAILCRITICALERRORS);
    const DWORD mask = GetLogicalDrives();
    for (int number = 3; number <= 26; ++number) {
        if (!(mask & (1u << (number - 1)))) continue;
        if (_chdrive(number) != 0) continue;
        DriveFacts drive;
        drive.number = number;
        DWORD flags = 0;
        char fileSystem[32] = {};
        GetVolumeInformationA(nullptr, drive.label, sizeof drive.label, nullptr, nullptr, &flags, fileSystem,
                              sizeof fileSystem);
        drive.label[sizeof drive.label - 1] = '\0';
        drive.fileSystemFlags = flags;
        drive.type = GetDriveTypeA(nullptr);
        found(drive, context);
    }
    _chdrive(previousDrive);
    if (haveDirectory) SetCurrentDirectoryA(previousDirectory);
}
