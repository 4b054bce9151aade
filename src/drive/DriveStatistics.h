#pragma once

#include <cstdint>

struct AppContext;

// The drive page's motor current statistics, refreshed from the tick every
// 100 ms with "dev": one sample of parameter 901 into the ring, then the
// average over WINDOW_DURATION samples and the maximum since start or
// "Reset Max", in amperes. A read that fails adds no sample; after five in
// a row the bus is closed (the tick looks for the drive again). Without a
// bus: "NA" and the drive controls disabled. The status of the sample's
// read (8 without a bus).
uint32_t RefreshDriveStatistics(AppContext& app);
