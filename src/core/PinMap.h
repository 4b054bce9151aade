#pragma once

#include <cstdint>

// The board's pin bytes; 255 = none.
constexpr uint8_t NoPin = 255;
constexpr int ButtonOutputCount = 36; // ButtonMap 36..67, then OutputMap 68..71
constexpr int AxisSourceCount = 4;    // AxisSource 72..75: X, Y, Z, Rx

struct PinMap {
    uint8_t buttonOutputMap[ButtonOutputCount]; // parameters 36..71
    uint8_t axisSources[AxisSourceCount];       // parameters 72..75
    uint8_t externalGainSource;                 // ExtGainSource, parameter 25
};

// First parameter numbers of the pin bytes.
constexpr uint8_t ButtonMapFirst = 36;
constexpr uint8_t AxisSourceFirst = 72;
constexpr uint8_t ExtGainSourceNumber = 25;
