#pragma once

#include <cstddef>
#include <cstdint>

// Writes a byte count in readable units: whole units as "%d %s", else with
// two decimals in hundredths ("1.04 KB" for 1075 bytes), with the unit name
// taken from the runtime's table "MemUnits" (none when it is shorter).
void FormatSize(uint64_t bytes, char* out, std::size_t outSize);
