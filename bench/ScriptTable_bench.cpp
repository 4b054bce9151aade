#include "exec/Resource.h"
#include "exec/ScriptKeywords.h"
#include "exec/ScriptTable.h"

#include "BenchRuntime.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// About 4 MB of profiles and settings in the program's own format.
std::string LargeScript()
{
    std::string text = "// generated\r\n[Config]\r\nFLAGS=3\r\nWINDOW_DURATION=100\r\n\r\n[GameProfiles]\r\n";
    for (int i = 0; text.size() < (4u << 20); ++i)
        text += "PROFILE=\"Game number " + std::to_string(i) + "\",game" + std::to_string(i) +
                ".exe,127,100,0x40,-12,64,90,1,2,3,4,5,6,7,8\r\n";
    text += "\r\n";
    return text;
}

int CountLine(uint16_t, ScriptValue* values)
{
    int n = 0;
    for (; values; values = values->next) ++n;
    return n;
}

} // namespace

static void BM_ParseSection(benchmark::State& state)
{
    BenchRuntime runtime;
    if (!runtime.Up()) {
        state.SkipWithError("runtime did not start");
        return;
    }
    const std::string text = LargeScript();
    ScriptTable* table = OpenScriptText("GameProfiles", text.data(), text.size());
    for (auto _ : state) ParseSection(table, "GameProfiles", ProfileKeywords, CountLine);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    RemoveResource(table);
}
BENCHMARK(BM_ParseSection)->Unit(benchmark::kMillisecond);
