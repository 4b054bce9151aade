#include "platform/FileReplace.h"

#include <cstdio>
#include <io.h>
#include <windows.h>

bool FlushToDisk(std::FILE* file)
{
    if (std::fflush(file) != 0) return false;
    return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) != FALSE;
}

bool ReplaceFileWith(const char* from, const char* to)
{
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

std::string FileBehindLinks(const char* path) { return path; }

bool TakeModeOf(const char*, const char*) { return true; }
