#include "exec/Memory.h"
#include "exec/RuntimeFlags.h"

#include "BenchRuntime.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

namespace {

// One step of the trace: release the block in slot, or take one of size.
struct Step {
    uint32_t slot;
    uint32_t size; // 0: release
};

constexpr uint32_t LiveBlocks = 1000;

// Small mixed sizes (8..264 bytes) over about 1000 live blocks, the same
// for every allocator.
const std::vector<Step>& Trace()
{
    static const std::vector<Step> trace = [] {
        std::vector<Step> steps;
        std::vector<bool> used(LiveBlocks, false);
        uint32_t seed = 12345;
        for (uint32_t i = 0; i < LiveBlocks; ++i) {
            seed = seed * 1103515245u + 12345u;
            steps.push_back({i, 8 + (seed >> 16) % 257});
            used[i] = true;
        }
        for (int i = 0; i < 20000; ++i) {
            seed = seed * 1103515245u + 12345u;
            const uint32_t slot = (seed >> 8) % LiveBlocks;
            steps.push_back({slot, used[slot] ? 0 : 8 + (seed >> 16) % 257});
            used[slot] = !used[slot];
        }
        for (uint32_t i = 0; i < LiveBlocks; ++i)
            if (used[i]) steps.push_back({i, 0});
        return steps;
    }();
    return trace;
}

template <typename Take, typename Give>
void RunTrace(benchmark::State& state, Take take, Give give)
{
    std::vector<void*> slots(LiveBlocks, nullptr);
    const std::vector<Step>& trace = Trace();
    for (auto _ : state) {
        for (const Step& step : trace) {
            if (step.size) {
                slots[step.slot] = take(step.size);
                benchmark::DoNotOptimize(slots[step.slot]);
            } else {
                give(slots[step.slot]);
            }
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * trace.size()));
}

} // namespace

static void BM_AllocMemTrace(benchmark::State& state)
{
    BenchRuntime runtime(static_cast<uint32_t>(state.range(0)));
    if (!runtime.Up()) {
        state.SkipWithError("runtime did not start");
        return;
    }
    RunTrace(state, [](uint32_t size) { return AllocMem(MemMainRam, size); }, [](void* p) { FreeMem(p); });
}
BENCHMARK(BM_AllocMemTrace)->Arg(0)->Arg(ExecFlagMemoryLock)->ArgName("flags");

static void BM_MallocTrace(benchmark::State& state)
{
    RunTrace(state, [](uint32_t size) { return std::malloc(size); }, [](void* p) { std::free(p); });
}
BENCHMARK(BM_MallocTrace);
