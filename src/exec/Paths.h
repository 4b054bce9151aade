#pragma once

#include <cstddef>

// Path helpers. Both the backslash and the slash separate directories, so
// the same names work on every system.

bool IsPathSeparator(char c);

// The separator that the runtime puts into the paths it builds.
#ifdef _WIN32
constexpr char PathSeparator = '\\';
#else
constexpr char PathSeparator = '/';
#endif

// The file name: what follows the last separator.
const char* FileNameOf(const char* path);

// The directory: the path up to and including its last separator (empty
// when it has none). Cut to the buffer.
void DirectoryOf(const char* path, char* out, std::size_t outSize);

// The path without its extension: up to the last dot after the last separator.
void WithoutExtension(const char* path, char* out, std::size_t outSize);

// True when a dot follows the last separator.
bool HasExtension(const char* path);

// Adds the separator when the last character is neither backslash nor slash
// (and the text is not empty). False when the buffer has no room for it.
bool AddTrailingSeparator(char* path, std::size_t size);

// A path that needs no directory before it: two backslashes at the start
// or a colon as second character (or a slash at the start, a complete path
// on POSIX systems).
bool IsCompletePath(const char* path);

// The key name of a resource: the file name without its extension
// ("GameProfiles" for "C:\x\GameProfiles.ini"). Cut to the buffer.
void KeyNameOf(const char* path, char* out, std::size_t outSize);
