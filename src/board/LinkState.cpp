#include "board/LinkState.h"

const char* LinkStateText(uint8_t state)
{
    static const char* const texts[] = {"Disconnected", "Connected", "Wheel Found", "Wheel Ready", "Wheel Error"};
    return state < sizeof texts / sizeof texts[0] ? texts[state] : "";
}

const char* CalibrationPhaseText(uint8_t phase)
{
    static const char* const texts[] = {
        "Disconnected",    "Calibrating Dir", "Calibrating Dir", "Calibrating left", "Calibrating right",
        "Searching index", "Homing",          "Calibration error", "Ready",
    };
    return texts[phase > PhaseReady ? PhaseReady : phase];
}
