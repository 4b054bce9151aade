#pragma once

#include "platform/GameInput.h"

#include <cstdint>

// One enumerated game controller of the controller table.
struct ControllerEntry {
    InputDevice device = nullptr; // owned by the table, never released during the run
    InputGuid instanceGuid = {};
    char productName[128] = {};   // cut to 127 characters
};

constexpr uint32_t MaxControllers = 16;

// The object mask of the current controller and its two counters, as kept
// in the application context.
constexpr int ObjectMaskBits = 0;
constexpr int SlidersSeen = 1;
constexpr int PovsSeen = 2;
