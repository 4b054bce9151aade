#include "platform/ProcessSnapshot.h"

#include <windows.h>
#include <tlhelp32.h>

bool SnapshotProcesses(std::vector<std::string>& names)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        names.emplace_back(entry.szExeFile);
    }
    CloseHandle(snapshot);
    return true;
}
