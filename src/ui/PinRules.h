#pragma once

#include "core/AppContext.h"

#include <cstdint>

// The board's pin codes (one byte each) and the rules by which the
// advanced settings offer a pin to a button or output slot: a pin is
// offered only when no other use of the same pin clashes with it.
//   0..13 "D0".."D13", 14..17 "MISO" "SCK" "MOSI" "SS", 18..29 "A0".."A11",
//   224..227 the two-pin sources "LC(2-3)" "LC(4-12)" "LC(5-7)" "LC(8-9)",
//   240 the encoder source "Enc(0-1)", 255 "None", and from 128 the four
//   sub-inputs of each analog pin.
constexpr uint8_t PinA0 = 18;
constexpr uint8_t PinA5 = 23;
constexpr uint8_t PinA6 = 24;
constexpr uint8_t PinA7 = 25;
constexpr uint8_t PinA11 = 29;
constexpr uint8_t LastDigitalPin = 13;
constexpr uint8_t SourceLc57 = 226;
constexpr uint8_t SourceEncoder = 240;
constexpr int SubInputsPerPin = 4;

// Sub-input n (1..4) of analog pin a: 128 + 4 × (a − A0) + (n − 1).
constexpr uint8_t SubInput(uint8_t analogPin, int n)
{
    return static_cast<uint8_t>(128 + SubInputsPerPin * (analogPin - PinA0) + (n - 1));
}

// The name of a code of the table above, "None" for 255; null for the
// sub-inputs (named "%s (%d)" after their pin) and for unknown codes.
const char* PinName(uint8_t code);

// The digital pin an analog code shares: A6..A11 are pins 4, 6, 8, 9, 10
// and 12; every other code stands for itself.
uint8_t PhysicalPin(uint8_t code);

// May the code be offered to mapping slot 0..35 (buttons 1..32, then the
// four outputs)? Not when another slot holds the same pin (a sub-input
// blocks its plain pin and the same sub-input elsewhere, a plain pin does
// not block sub-inputs), when the command mode reserves the pin, or when an
// axis or the external gain takes it, alone or as part of a two-pin or
// encoder source. "None" is always free.
bool PinIsFree(const AppContext& app, uint8_t code, int slot);
