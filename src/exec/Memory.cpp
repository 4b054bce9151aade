#include "exec/Memory.h"

#include "exec/Log.h"
#include "exec/MemCheck.h"
#include "exec/MemPool.h"
#include "exec/RuntimeFlags.h"
#include "exec/Semaphore.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

std::atomic<uint32_t> g_execFlags{0};

namespace {

constexpr const char* Source = "Exec\\Memory";
constexpr std::size_t Align = 16;
constexpr uint32_t MiB = 1024u * 1024u;
constexpr uint32_t RetryStep = 32 * MiB;
constexpr uint32_t SmallestMainPool = 8 * MiB;
constexpr unsigned char FreeFillByte = 0xAA;
constexpr unsigned char NewFillByte = 0x11;
constexpr int MaxPools = 128;

void* SystemTake(std::size_t size) { return std::malloc(size); }
void SystemGive(void* block) { std::free(block); }

HostHeap g_host{SystemTake, SystemGive};
ExecList g_pools;
ExecSemaphore g_memoryLock;
bool g_hostMode = false;

unsigned char* AlignUp(unsigned char* p)
{
    const auto value = reinterpret_cast<uintptr_t>(p);
    return p + ((Align - value % Align) % Align);
}

unsigned char* AlignDown(unsigned char* p) { return p - reinterpret_cast<uintptr_t>(p) % Align; }

std::size_t Gap() { return ExecFlag(ExecFlagGuards) ? MemGuardGap : 0; }

void WriteGuardGap(unsigned char* at)
{
    for (std::size_t i = 0; i < MemGuardGap; i += sizeof GuardWord) std::memcpy(at + i, GuardWord, sizeof GuardWord);
}

class PoolLock {
public:
    PoolLock() : held_(ExecFlag(ExecFlagMemoryLock) && g_memoryLock.lock && ObtainSemaphore(&g_memoryLock)) {}
    ~PoolLock()
    {
        if (held_) ReleaseSemaphore(&g_memoryLock);
    }
    PoolLock(const PoolLock&) = delete;
    PoolLock& operator=(const PoolLock&) = delete;

private:
    bool held_;
};

MemPool* MakePool(unsigned char* host, std::size_t size, const char* name, uint16_t attributes, int16_t priority)
{
    auto* pool = new (host) MemPool{};
    pool->name = name;
    pool->type = NodeTypePool;
    pool->priority = priority;
    pool->attributes = attributes;
    pool->start = host;
    pool->end = host + size;
    pool->hostSize = size;
    const std::size_t gap = Gap();
    pool->firstChunk = AlignUp(host + MemPoolHeader + gap);
    pool->limit = AlignDown(pool->end - gap);
    auto* chunk = reinterpret_cast<FreeChunk*>(pool->firstChunk);
    chunk->next = nullptr;
    chunk->prev = nullptr;
    chunk->size = static_cast<std::size_t>(pool->limit - pool->firstChunk);
    if (gap) {
        WriteGuardGap(pool->firstChunk - gap);
        WriteGuardGap(pool->limit);
    }
    pool->head = chunk;
    pool->tail = chunk;
    pool->freeBytes = chunk->size;
    pool->initialFree = chunk->size;
    Enqueue(&g_pools, pool);
    return pool;
}

unsigned char* TakeHost(std::size_t size)
{
    auto* block = static_cast<unsigned char*>(g_host.take(size));
    if (block && ExecFlag(ExecFlagFill)) std::memset(block, FreeFillByte, size);
    return block;
}

// The smallest host block that can hold a pool with one minimum chunk.
bool BigEnough(std::size_t size) { return size >= MemPoolHeader + 3 * MemGuardGap + 2 * Align + MemBlockMinimum; }

void ReplaceInList(MemPool* pool, FreeChunk* old, FreeChunk* replacement)
{
    replacement->prev = old->prev;
    replacement->next = old->next;
    if (old->prev)
        old->prev->next = replacement;
    else
        pool->head = replacement;
    if (old->next)
        old->next->prev = replacement;
    else
        pool->tail = replacement;
}

void UnlinkChunk(MemPool* pool, FreeChunk* chunk)
{
    if (chunk->prev)
        chunk->prev->next = chunk->next;
    else
        pool->head = chunk->next;
    if (chunk->next)
        chunk->next->prev = chunk->prev;
    else
        pool->tail = chunk->prev;
}

void InsertBefore(MemPool* pool, FreeChunk* chunk, FreeChunk* before)
{
    chunk->next = before;
    chunk->prev = before ? before->prev : pool->tail;
    if (chunk->prev)
        chunk->prev->next = chunk;
    else
        pool->head = chunk;
    if (before)
        before->prev = chunk;
    else
        pool->tail = chunk;
}

// First fit in address order. A chunk is taken whole when it has exactly
// the block size; otherwise it must leave room for a free chunk (and a new
// guard gap) behind the block.
unsigned char* PoolAllocate(MemPool* pool, std::size_t blockSize)
{
    if (pool->freeBytes < blockSize) return nullptr;
    const std::size_t gap = Gap();
    for (FreeChunk* chunk = pool->head; chunk; chunk = chunk->next) {
        auto* bytes = reinterpret_cast<unsigned char*>(chunk);
        if (chunk->size == blockSize) {
            UnlinkChunk(pool, chunk);
            pool->freeBytes -= blockSize;
            return bytes;
        }
        if (chunk->size >= blockSize + MemBlockMinimum + gap) {
            auto* rest = reinterpret_cast<FreeChunk*>(bytes + blockSize + gap);
            const std::size_t restSize = chunk->size - blockSize - gap;
            ReplaceInList(pool, chunk, rest);
            rest->size = restSize;
            if (gap) WriteGuardGap(bytes + blockSize);
            pool->freeBytes -= blockSize + gap;
            return bytes;
        }
    }
    return nullptr;
}

// Pools taken down while blocks of theirs were still in use keep their host
// memory until the program ends: a late release of such a block must not
// reach the host heap, nor may the host hand those addresses out again.
struct RetiredPool {
    const unsigned char* start;
    const unsigned char* end;
};
constexpr int MaxRetiredPools = 8;
RetiredPool g_retired[MaxRetiredPools] = {};
int g_retiredCount = 0;

bool Retired(const void* address)
{
    const auto* p = static_cast<const unsigned char*>(address);
    for (int i = 0; i < g_retiredCount; ++i) {
        if (p > g_retired[i].start && p < g_retired[i].end) return true;
    }
    return false;
}

MemPool* OwnerOf(const void* address)
{
    const auto* p = static_cast<const unsigned char*>(address);
    for (ExecNode* node = g_pools.head; node; node = node->next) {
        auto* pool = static_cast<MemPool*>(node);
        if (p > pool->start && p < pool->end) return pool;
    }
    return nullptr;
}

// The free chunks on either side of a block, in address order.
struct Neighbours {
    FreeChunk* before = nullptr;
    FreeChunk* after = nullptr;
};

Neighbours Locate(const MemPool* pool, const unsigned char* block)
{
    Neighbours n;
    n.after = pool->head;
    while (n.after && reinterpret_cast<unsigned char*>(n.after) <= block) {
        n.before = n.after;
        n.after = n.after->next;
    }
    return n;
}

// A block that lies inside a free chunk was released before (possibly
// merged into its neighbour since).
bool InsideFreeChunk(const Neighbours& n, const unsigned char* block)
{
    return n.before && block < reinterpret_cast<unsigned char*>(n.before) + n.before->size;
}

// Gives a checked block back to its pool, merging it with the free chunks
// that touch it.
void PoolRelease(MemPool* pool, unsigned char* block, std::size_t size, const Neighbours& n)
{
    const std::size_t gap = Gap();
    if (ExecFlag(ExecFlagFill) && pool->attributes != MemDebugRam) std::memset(block, FreeFillByte, size);

    FreeChunk* merged;
    if (n.before && reinterpret_cast<unsigned char*>(n.before) + n.before->size + gap == block) {
        n.before->size += gap + size;
        pool->freeBytes += size + gap;
        merged = n.before;
    } else {
        merged = reinterpret_cast<FreeChunk*>(block);
        merged->size = size;
        InsertBefore(pool, merged, n.after);
        pool->freeBytes += size;
    }
    if (n.after &&
        reinterpret_cast<unsigned char*>(merged) + merged->size + gap == reinterpret_cast<unsigned char*>(n.after)) {
        UnlinkChunk(pool, n.after);
        merged->size += gap + n.after->size;
        pool->freeBytes += gap;
    }
}

// The size word must describe a block that stays inside the pool and ends
// before the next free chunk.
bool HeaderSound(const MemPool* pool, const unsigned char* block, std::size_t size, const Neighbours& n)
{
    if (block < pool->firstChunk || reinterpret_cast<uintptr_t>(block) % Align != 0) return false;
    if (size < MemBlockMinimum || size % Align != 0) return false;
    if (size > static_cast<std::size_t>(pool->limit - block)) return false;
    return !n.after || block + size + Gap() <= reinterpret_cast<unsigned char*>(n.after);
}

} // namespace

ExecList* PoolList() { return &g_pools; }

bool GuardIntact(const unsigned char* word) { return std::memcmp(word, GuardWord, sizeof GuardWord) == 0; }

std::size_t MemBlockSize(std::size_t size)
{
    std::size_t block = (size + MemBlockHeader + Align - 1) / Align * Align;
    return block < MemBlockMinimum ? MemBlockMinimum : block;
}

void SetHostHeap(const HostHeap& heap) { g_host = heap; }

HostHeap SystemHostHeap() { return {SystemTake, SystemGive}; }

bool TakeMemoryPools(uint32_t mainSize, uint32_t debugSize, uint16_t memoryFlags)
{
    InitList(&g_pools, "Memory free list");
    if (ExecFlag(ExecFlagMemoryLock) && !g_memoryLock.lock) InitSemaphore(&g_memoryLock, "Memory manager");
    g_hostMode = memoryFlags == 1;
    if (memoryFlags != 0) return true;

    if (debugSize != 0 && BigEnough(debugSize)) {
        if (unsigned char* host = TakeHost(debugSize)) MakePool(host, debugSize, "Debug (safe) ram", MemDebugRam, -5);
    }

    uint32_t size = mainSize;
    unsigned char* host = BigEnough(size) ? TakeHost(size) : nullptr;
    while (!host) {
        if (size < RetryStep + SmallestMainPool) {
            // The start failed before the log was set up: the line goes to
            // Log.txt in the current directory.
            LogSwitchOn();
            ExecFailure(Source, __LINE__,
                        FormatTemp("_InitAlloc: Could not allocate %lu bytes from host.", static_cast<unsigned long>(size)));
            ReleaseMemoryPools();
            return false;
        }
        size -= RetryStep;
        host = TakeHost(size);
    }
    MakePool(host, size, "Main ram", MemMainRam, 0);

    if (ExecFlag(ExecFlagMemoryCheck)) StartMemCheck();
    g_execFlags.fetch_or(ExecFlagPoolsReady);
    return true;
}

void ReleaseMemoryPools()
{
    g_execFlags.fetch_and(~ExecFlagPoolsReady);
    if (g_memoryLock.lock) DeleteSemaphore(&g_memoryLock);
    StopMemCheck();
    int released = 0;
    while (ExecNode* node = g_pools.head) {
        auto* pool = static_cast<MemPool*>(node);
        Unlink(&g_pools, pool);
        if ((pool->attributes == MemMainRam || pool->attributes == MemDebugRam) && released < MaxPools) {
            ++released;
            if (pool->freeBytes == pool->initialFree || g_retiredCount == MaxRetiredPools) {
                g_host.give(pool->start);
            } else {
                g_retired[g_retiredCount++] = {pool->start, pool->end};
            }
        }
    }
    g_hostMode = false;
}

void* AllocMem(uint16_t attributes, std::size_t size)
{
    if (g_hostMode) return g_host.take(size);
    PoolLock lock;
    if (ExecFlag(ExecFlagMemoryCheck)) FullMemoryCheck();
    const std::size_t blockSize = MemBlockSize(size);
    unsigned char* block = nullptr;
    if (blockSize >= size) {
        for (ExecNode* node = g_pools.head; node && !block; node = node->next) {
            auto* pool = static_cast<MemPool*>(node);
            if (pool->attributes == attributes) block = PoolAllocate(pool, blockSize);
        }
    }
    if (!block) {
        ExecFailure(Source, __LINE__, "AllocMem: Could not allocate memory\n");
        return nullptr;
    }
    *reinterpret_cast<std::size_t*>(block) = blockSize;
    if (ExecFlag(ExecFlagMemoryCheck) && attributes != MemDebugRam) RecordLiveBlock(block, blockSize);
    if (ExecFlag(ExecFlagFill)) std::memset(block + MemBlockHeader, NewFillByte, blockSize - MemBlockHeader);
    return block + MemBlockHeader;
}

void FreeMem(void* address)
{
    if (g_hostMode) {
        g_host.give(address);
        return;
    }
    if (!address) {
        if (ExecFlag(ExecFlagReportFree)) ExecFailure(Source, __LINE__, "FreeMem: Free NULL address");
        return;
    }
    PoolLock lock;
    MemPool* pool = OwnerOf(address);
    if (!pool) {
        // A block of a pool already taken down went with its pool. Anything
        // else is memory taken from the host heap before the pools existed
        // and goes back there.
        if (!Retired(address)) std::free(address);
        return;
    }
    unsigned char* block = static_cast<unsigned char*>(address) - MemBlockHeader;
    const Neighbours neighbours = Locate(pool, block);
    if (InsideFreeChunk(neighbours, block)) {
        if (ExecFlag(ExecFlagReportFree))
            ExecFailure(Source, __LINE__,
                        FormatTemp("FreeMem: Address %x already free.\n",
                                   static_cast<unsigned>(reinterpret_cast<uintptr_t>(address))));
        return;
    }
    const std::size_t size = *reinterpret_cast<std::size_t*>(block);
    if (!HeaderSound(pool, block, size, neighbours)) {
        ExecFailure(Source, __LINE__, "FreeMem: Start Header corrupted.");
        return;
    }
    if (ExecFlag(ExecFlagGuards)) {
        if (!GuardIntact(block - 4)) {
            ExecFailure(Source, __LINE__, "FreeMem: Start Header corrupted.");
            return;
        }
        if (!GuardIntact(block + size)) {
            ExecFailure(Source, __LINE__, "FreeMem: End Header corrupted.");
            return;
        }
    }
    if (ExecFlag(ExecFlagMemoryCheck) && pool->attributes != MemDebugRam) DropLiveBlock(block);
    PoolRelease(pool, block, size, neighbours);
    if (ExecFlag(ExecFlagMemoryCheck)) FullMemoryCheck();
}

void CopyMem(const void* source, void* destination, std::size_t length)
{
    if (length % 4 == 0) {
        auto* to = static_cast<unsigned char*>(destination);
        const auto* from = static_cast<const unsigned char*>(source);
        for (std::size_t i = 0; i < length; i += 4) std::memcpy(to + i, from + i, 4);
        return;
    }
    std::memcpy(destination, source, length);
}

bool PoolOwns(const void* address)
{
    PoolLock lock;
    return OwnerOf(address) != nullptr || Retired(address);
}

namespace {
template <typename Figure>
std::size_t SumPools(uint16_t attributes, Figure figure)
{
    std::size_t sum = 0;
    for (ExecNode* node = g_pools.head; node; node = node->next) {
        const auto* pool = static_cast<const MemPool*>(node);
        if (pool->attributes == attributes) sum += figure(pool);
    }
    return sum;
}
} // namespace

std::size_t MainRamFree()
{
    PoolLock lock;
    return SumPools(MemMainRam, [](const MemPool* p) { return p->freeBytes; });
}

std::size_t MainRamTotal()
{
    return SumPools(MemMainRam, [](const MemPool* p) { return p->hostSize; });
}

std::size_t MainRamOverhead()
{
    return SumPools(MemMainRam, [](const MemPool* p) { return p->hostSize - p->initialFree; });
}

std::size_t DebugRamTotal()
{
    return SumPools(MemDebugRam, [](const MemPool* p) { return p->hostSize; });
}

int PoolCount() { return CountMembers(&g_pools); }
