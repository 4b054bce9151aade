#pragma once

#include <cstdio>
#include <string>

// Pushes what was written to the open file down to the disk.
bool FlushToDisk(std::FILE* file);

// Puts the file `from` in the place of `to` in one step, replacing it when
// it exists; on failure `to` is left as it was.
bool ReplaceFileWith(const char* from, const char* to);

// The file that a write to `path` changes: the target of a symbolic link
// (and of the links it leads to), else `path` itself. Windows: `path`.
std::string FileBehindLinks(const char* path);

// Gives the file `made` the permission bits of `original`, and its owner and
// group where this user may give them; true also when there is no
// `original`. Windows: nothing to give, true.
bool TakeModeOf(const char* original, const char* made);
