#pragma once

#include <cstddef>

// The memory manager's debugging aids under flag 0x4: the table of live
// blocks and the full check of the free lists. Called with the pools locked.

// Builds the table: 512 ranges of 1 MiB, each a growable list of records.
// The records are kept on the host heap, so they never show in the figures
// of the main pool.
bool StartMemCheck();
void StopMemCheck();

// Records a block handed out; false (reported) when no record could be had.
bool RecordLiveBlock(const void* block, std::size_t size);
// Drops the record of a block being released; false when there is none.
bool DropLiveBlock(const void* block);
// Number of blocks in the table.
std::size_t LiveBlockCount();

// Walks the free chunks of every main pool and reports a corrupted chunk
// ("Memory patch, block corrupted") or a looping list ("Memory patch").
// Returns false when it reported something.
bool FullMemoryCheck();
