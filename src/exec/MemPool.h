#pragma once

#include "exec/ExecList.h"

#include <cstddef>
#include <cstdint>

// Shared between the memory manager and its checks; not for other callers.

struct FreeChunk {
    FreeChunk* next;
    FreeChunk* prev;
    std::size_t size; // the chunk's full size, header included
};

// The record at the start of each host block.
struct MemPool : ExecNode {
    FreeChunk* head;
    FreeChunk* tail;
    unsigned char* start;      // the host block
    unsigned char* end;        // start plus the host block's size
    unsigned char* firstChunk; // where the first chunk began
    unsigned char* limit;      // end of the usable area (a guard gap may follow)
    std::size_t freeBytes;
    std::size_t initialFree;
    std::size_t hostSize;
    uint16_t attributes;
};

// The list "Memory free list", ordered by descending priority.
ExecList* PoolList();

// The guard text that fills every gap.
constexpr char GuardWord[4] = {'U', 'V', 'W', 'X'};
bool GuardIntact(const unsigned char* word);
