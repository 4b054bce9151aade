#include "drive/DriveBus.h"
#include "drive/DriveSerial.h"
#include "support/SimProcess.h"
#include "unit/TempDir.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>

// One read of the torque bandwidth against drivesim paced at 460800 baud,
// as a ratio to the line's floor: the 15 request bytes and the 9 reply
// bytes of 10 bits each. The goal is at most 2.
static void BM_BusReadParameter(benchmark::State& state)
{
    TempDir dir;
    setenv("VANTOR_DOSDEVICES", dir.path().c_str(), 1);
    DriveSim sim(dir.path(), 7, {"--paced"});
    drive::SetReadTimeout(200);
    const int bus = BusOpen("COM7");
    if (!sim.Running() || bus < 0) {
        state.SkipWithError("drivesim did not start");
        return;
    }
    double elapsed = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        int32_t value = 0;
        if (BusReadParameter(bus, 2, 490, value) != SmOk) {
            state.SkipWithError("no answer");
            break;
        }
        elapsed += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    BusClose(bus);
    const double floor = (15 + 9) * 10.0 / 460800.0;
    if (state.iterations() > 0) state.counters["x_wire_floor"] = elapsed / static_cast<double>(state.iterations()) / floor;
}
BENCHMARK(BM_BusReadParameter)->Unit(benchmark::kMicrosecond);
