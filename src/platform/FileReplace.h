#pragma once

#include <cstdio>

// Pushes what was written to the open file down to the disk.
bool FlushToDisk(std::FILE* file);

// Puts the file `from` in the place of `to` in one step, replacing it when
// it exists; on failure `to` is left as it was.
bool ReplaceFileWith(const char* from, const char* to);
