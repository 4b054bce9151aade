#include "exec/MemCheck.h"

#include "exec/Log.h"
#include "exec/MemPool.h"
#include "exec/Memory.h"
#include "exec/RuntimeFlags.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr const char* Source = "Exec\\MemDebug";
constexpr unsigned RangeCount = 512;
constexpr unsigned RangeShift = 20; // 1 MiB per range
constexpr std::size_t FirstCapacity = 32;
constexpr std::size_t FreeFill = static_cast<std::size_t>(0xAAAAAAAAAAAAAAAAull);

struct LiveBlock {
    uint32_t serial;
    const void* block;
    std::size_t size;
};

struct Range {
    LiveBlock* records;
    std::size_t count;
    std::size_t capacity;
};

Range* g_ranges = nullptr;
uint32_t g_serial = 0;
std::size_t g_lastChunkCount = 0;
std::size_t g_liveBlocks = 0;

Range& RangeOf(const void* block)
{
    return g_ranges[(reinterpret_cast<uintptr_t>(block) >> RangeShift) % RangeCount];
}

HostHeap Host() { return SystemHostHeap(); }

bool Corrupted(const MemPool* pool, const FreeChunk* chunk)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(chunk);
    if (bytes < pool->firstChunk || bytes >= pool->limit) return true;
    if (chunk->size == FreeFill || chunk->size > static_cast<std::size_t>(pool->limit - bytes)) return true;
    if (chunk->next == chunk || chunk->prev == chunk) return true;
    if (ExecFlag(ExecFlagGuards) && (!GuardIntact(bytes - 4) || !GuardIntact(bytes + chunk->size)))
        return true;
    return false;
}

} // namespace

bool StartMemCheck()
{
    g_ranges = static_cast<Range*>(Host().take(sizeof(Range) * RangeCount));
    if (!g_ranges) return false;
    std::memset(g_ranges, 0, sizeof(Range) * RangeCount);
    g_serial = 0;
    g_lastChunkCount = 0;
    g_liveBlocks = 0;
    return true;
}

void StopMemCheck()
{
    if (!g_ranges) return;
    for (unsigned i = 0; i < RangeCount; ++i)
        if (g_ranges[i].records) Host().give(g_ranges[i].records);
    Host().give(g_ranges);
    g_ranges = nullptr;
    g_liveBlocks = 0;
}

bool RecordLiveBlock(const void* block, std::size_t size)
{
    if (!g_ranges) return true;
    Range& range = RangeOf(block);
    if (range.count == range.capacity) {
        const std::size_t capacity = range.capacity ? range.capacity * 2 : FirstCapacity;
        auto* records = static_cast<LiveBlock*>(Host().take(capacity * sizeof(LiveBlock)));
        if (!records) {
            ExecFailure(Source, __LINE__, "Could not find mem check node");
            return false;
        }
        if (range.count) std::memcpy(records, range.records, range.count * sizeof(LiveBlock));
        if (range.records) Host().give(range.records);
        range.records = records;
        range.capacity = capacity;
    }
    range.records[range.count++] = {++g_serial, block, size};
    ++g_liveBlocks;
    return true;
}

bool DropLiveBlock(const void* block)
{
    if (!g_ranges) return true;
    Range& range = RangeOf(block);
    for (std::size_t i = 0; i < range.count; ++i) {
        if (range.records[i].block != block) continue;
        range.records[i] = range.records[--range.count];
        --g_liveBlocks;
        return true;
    }
    ExecFailure(Source, __LINE__, "Could not find mem check node");
    return false;
}

std::size_t LiveBlockCount() { return g_liveBlocks; }

bool FullMemoryCheck()
{
    std::size_t chunks = 0;
    for (ExecNode* node = PoolList()->head; node; node = node->next) {
        const auto* pool = static_cast<const MemPool*>(node);
        if (pool->attributes != MemMainRam) continue;
        for (const FreeChunk* chunk = pool->head; chunk; chunk = chunk->next) {
            if (Corrupted(pool, chunk)) {
                ExecFailure(Source, __LINE__, "Memory patch, block corrupted");
                return false;
            }
            if (++chunks > g_lastChunkCount + 10) {
                ExecFailure(Source, __LINE__, "Memory patch");
                return false;
            }
        }
    }
    g_lastChunkCount = chunks;
    return true;
}
