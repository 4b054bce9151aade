#pragma once

#include <cstdint>

// The board connection state of the application context.
enum LinkState : uint8_t {
    LinkDisconnected = 0, // no port opened yet
    LinkConnected = 1,    // port open and probe sent, no valid answer (yet)
    LinkWheelFound = 2,   // the board answered the probe
    LinkWheelReady = 3,   // the board reported calibration phase 8
    LinkWheelError = 4,   // the board reported calibration phase 7
};

// "Disconnected", "Connected", "Wheel Found", "Wheel Ready", "Wheel Error";
// "" for a value outside the table.
const char* LinkStateText(uint8_t state);

// The calibration phase the board answers to 'S'.
constexpr uint8_t PhaseError = 7;
constexpr uint8_t PhaseReady = 8;

// The text of a calibration phase; values above 8 read as 8 ("Ready").
const char* CalibrationPhaseText(uint8_t phase);
