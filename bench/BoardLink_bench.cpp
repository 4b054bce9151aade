#include "core/AppContext.h"
#include "board/BoardProtocol.h"
#include "board/ParamDisplay.h"
#include "core/ParamSet.h"
#include "board/WheelLink.h"
#include "support/SimProcess.h"
#include "unit/TempDir.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

// The least the frames of a kind that the board logged can take: each
// frame's pause plus its bytes on a 115200-baud line (10 bits a byte). A
// read is 3 bytes out and width bytes back, followed by 5 ms; a write is
// 3 + width bytes out, followed by 20 ms.
double ProtocolFloorSeconds(const WheelSim& sim, const char* kind, double pauseSeconds)
{
    double seconds = 0;
    for (const std::string& line : sim.LogLinesWith(std::string("\"kind\":\"") + kind + "\"")) {
        const std::size_t at = line.find("\"width\":");
        const long width = at == std::string::npos ? 0 : std::strtol(line.c_str() + at + 8, nullptr, 10);
        seconds += pauseSeconds + static_cast<double>(3 + width) * 10.0 / 115200.0;
    }
    return seconds;
}

// The application record with every parameter bound as the main page binds it, without a page.
std::unique_ptr<AppContext> BoundApp()
{
    auto app = std::make_unique<AppContext>();
    for (int i = 0; i < ParamCount; ++i) {
        const ParamDefinition& d = ParamSet[i];
        BindControl(app->params[i], nullptr, d.trackbarId, d.labelId, d.number, d.widthCode, d.minimum, d.maximum,
                    d.tickStep, d.displayKind, d.unit);
    }
    return app;
}

// Times the step once an iteration against wheelsim on COM5, after the
// untimed set-up, and reports the time as a ratio to the floor of the frames
// of the kind that the board logged.
template <typename SetUp, typename Step>
void RunAgainstWheel(benchmark::State& state, const char* kind, double pauseSeconds, SetUp setUp, Step step)
{
    TempDir dir;
    setenv("VANTOR_DOSDEVICES", dir.path().c_str(), 1);
    auto app = BoundApp();
    double floor = 0;
    double elapsed = 0;
    {
        WheelSim sim(dir.path(), 5);
        if (!sim.Running() || !setUp(*app)) state.SkipWithError("wheelsim did not start or answer");
        for (auto _ : state) {
            const auto start = std::chrono::steady_clock::now();
            if (!step(*app)) {
                state.SkipWithError("wheel not identified");
                break;
            }
            elapsed += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
        app->boardPort.Close();
        sim.Stop();
        floor = ProtocolFloorSeconds(sim, kind, pauseSeconds);
    }
    const double iterations = static_cast<double>(state.iterations() ? state.iterations() : 1);
    state.counters["floor_ms"] = floor / iterations * 1000.0;
    if (floor > 0 && state.iterations() > 0) state.counters["ratio_to_floor"] = elapsed / floor;
    unsetenv("VANTOR_DOSDEVICES");
}

} // namespace

// From the probe to the last reply of the set, against wheelsim on a pty.
static void BM_IdentifyAndReadAllParams(benchmark::State& state)
{
    RunAgainstWheel(state, "read", 0.005, [](AppContext&) { return true; }, [](AppContext& app) {
        app.boardPort.Close();
        app.linkState = 0;
        if (!IdentifyWheel(app, 5)) return false;
        ReadAllParams(app);
        return true;
    });
}
BENCHMARK(BM_IdentifyAndReadAllParams)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// A profile's 14 writes to an identified wheel, against wheelsim on a pty.
static void BM_SendProfile(benchmark::State& state)
{
    RunAgainstWheel(state, "write", 0.020, [](AppContext& app) { return IdentifyWheel(app, 5); }, [](AppContext& app) {
        SendProfile(app);
        return true;
    });
}
BENCHMARK(BM_SendProfile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
