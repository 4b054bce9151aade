#include "platform/FileReplace.h"

#include <cstdio>
#include <unistd.h>

bool FlushToDisk(std::FILE* file) { return std::fflush(file) == 0 && fsync(fileno(file)) == 0; }

bool ReplaceFileWith(const char* from, const char* to) { return std::rename(from, to) == 0; }
