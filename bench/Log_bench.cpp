#include "exec/ExecConfig.h"
#include "exec/Log.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

// Every log line opens, appends and closes the file; this measures what that
// costs a caller per line.
static void BM_LogPrintfLine(benchmark::State& state)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "vantor-log-bench";
    std::filesystem::create_directories(dir);
    ExecConfig config;
    std::snprintf(config.logDirectory, sizeof config.logDirectory, "%s/", dir.string().c_str());
    config.logMode = LogModeNew;
    LogInit(config);
    SetLogThreshold(0);
    int i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(LogPrintf(0, "%s : %d : %d", "trace", ++i, 42));
    state.SetItemsProcessed(state.iterations());
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_LogPrintfLine);
