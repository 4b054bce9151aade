#pragma once

#include <cstdint>

// What the application hands to InitExec. Filled with zeros, then set by the
// caller.
struct ExecConfig {
    uint32_t mainRamSize = 0;    // bytes of the main pool
    uint32_t debugRamSize = 0;   // bytes of the debug (safe) pool, 0 for none
    int32_t logLevel = 0;        // log level threshold
    uint32_t flags = 0;          // runtime flags; bit 3 is cleared when taken
    uint16_t language = 0;       // index of the language to use
    uint16_t logMode = 0;        // 0 none, 1 append, 2 new file
    uint16_t memoryFlags = 0;    // 0 take the pools, 1 host heap only
    uint8_t spare = 0;           // kept, not read
    char logDirectory[512] = {}; // ends in a path separator; empty = current directory
    char baseDirectory[512] = {};
    char extraText[512] = {};
    // Kept, not read. Holds the instance handle, so it is as wide as a pointer.
    uintptr_t applicationWord = 0;
};
