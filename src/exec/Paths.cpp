#include "exec/Paths.h"

#include <cstdio>
#include <cstring>

bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

const char* FileNameOf(const char* path)
{
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (IsPathSeparator(*p)) name = p + 1;
    return name;
}

void DirectoryOf(const char* path, char* out, std::size_t outSize)
{
    const std::size_t length = static_cast<std::size_t>(FileNameOf(path) - path);
    std::snprintf(out, outSize, "%.*s", static_cast<int>(length), path);
}

namespace {
const char* ExtensionDot(const char* path) { return std::strrchr(FileNameOf(path), '.'); }
} // namespace

bool HasExtension(const char* path) { return ExtensionDot(path) != nullptr; }

void WithoutExtension(const char* path, char* out, std::size_t outSize)
{
    const char* dot = ExtensionDot(path);
    const std::size_t length = dot ? static_cast<std::size_t>(dot - path) : std::strlen(path);
    std::snprintf(out, outSize, "%.*s", static_cast<int>(length), path);
}

bool AddTrailingSeparator(char* path, std::size_t size)
{
    const std::size_t length = std::strlen(path);
    if (length == 0 || IsPathSeparator(path[length - 1])) return true;
    if (length + 2 > size) return false;
    path[length] = PathSeparator;
    path[length + 1] = '\0';
    return true;
}

bool IsCompletePath(const char* path)
{
    if (path[0] == '\\' && path[1] == '\\') return true;
    if (path[0] != '\0' && path[1] == ':') return true;
    return path[0] == '/';
}

void KeyNameOf(const char* path, char* out, std::size_t outSize) { WithoutExtension(FileNameOf(path), out, outSize); }
