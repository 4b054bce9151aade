// The program's general allocation. While the runtime's pools are up (flag
// 0x1) new takes its blocks from the main pool; otherwise, and when the
// pool cannot serve a request, from the C heap. delete gives a block back
// to the pool that owns it, or to the C heap: objects made before the pools
// existed, or while they were full, survive their release.

#include "exec/Memory.h"
#include "exec/RuntimeFlags.h"

#include <cstdlib>
#include <new>

namespace {

void* Take(std::size_t size) noexcept
{
    if (ExecFlag(ExecFlagPoolsReady))
        if (void* block = AllocMem(MemMainRam, size)) return block;
    return std::malloc(size ? size : 1);
}

void Give(void* block) noexcept
{
    if (!block) return;
    if (PoolOwns(block))
        FreeMem(block);
    else
        std::free(block);
}

void* TakeOrEnd(std::size_t size) noexcept
{
    void* block = Take(size);
    // The program is built without exception handling: with neither pool
    // nor host memory there is no way on.
    if (!block) std::abort();
    return block;
}

} // namespace

void* operator new(std::size_t size) { return TakeOrEnd(size); }
void* operator new[](std::size_t size) { return TakeOrEnd(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Take(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Take(size); }

void operator delete(void* block) noexcept { Give(block); }
void operator delete[](void* block) noexcept { Give(block); }
void operator delete(void* block, std::size_t) noexcept { Give(block); }
void operator delete[](void* block, std::size_t) noexcept { Give(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Give(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Give(block); }
