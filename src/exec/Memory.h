#pragma once

#include <cstddef>
#include <cstdint>

// Pool attributes.
constexpr uint16_t MemMainRam = 0;
constexpr uint16_t MemDebugRam = 0xF000;

// Block layout of this build. A block in use is a 16-byte header whose
// first word holds the block size, then the user part, so user addresses
// are 16-byte aligned on 64-bit systems. A block is the request plus 16,
// rounded up to 16, and at least 32 bytes (a 32-bit layout has a 4-byte
// header and 16-byte minimum): a 1-byte request takes 32 bytes here.
constexpr std::size_t MemBlockHeader = 16;
constexpr std::size_t MemBlockMinimum = 32;
// With guard words the chunks are 16 bytes apart; the gap reads "UVWX"
// four times, so the four bytes directly before and directly after every
// chunk are "UVWX" (a 32-bit layout uses two 4-byte words, 8 bytes).
constexpr std::size_t MemGuardGap = 16;
// The pool record at the start of each host block (64 bytes in a 32-bit layout).
constexpr std::size_t MemPoolHeader = 128;

// The block size that a request of size bytes takes.
std::size_t MemBlockSize(std::size_t size);

// Where the pools and host mode take their memory; tests may replace it.
struct HostHeap {
    void* (*take)(std::size_t size);
    void (*give)(void* block);
};
void SetHostHeap(const HostHeap& heap);
// The system's allocator.
HostHeap SystemHostHeap();

// Takes the pools (from InitExec). memoryFlags 1 is host mode: no pools,
// every allocation goes to the host heap. False when the main pool could
// not be had at 8 MiB or more.
bool TakeMemoryPools(uint32_t mainSize, uint32_t debugSize, uint16_t memoryFlags);
// Clears flag 0x1, deletes "Memory manager" and gives every pool back; a
// pool with blocks still in use keeps its memory until the program ends, so
// that a late release of such a block is harmless.
void ReleaseMemoryPools();

void* AllocMem(uint16_t attributes, std::size_t size);
void FreeMem(void* address);
// Copies length bytes between separate areas (source first).
void CopyMem(const void* source, void* destination, std::size_t length);

// True when address lies inside a pool, or inside a pool taken down while
// blocks of it were still in use (the general delete asks this).
bool PoolOwns(const void* address);

// Figures of the main pools for the leak report.
std::size_t MainRamFree();
std::size_t MainRamTotal();
// Bytes of the main pools that are never handed out (pool records, guards).
std::size_t MainRamOverhead();
// Figures of the debug pools.
std::size_t DebugRamTotal();
// Number of pools.
int PoolCount();
