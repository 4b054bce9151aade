#pragma once

#include "platform/NativeHandle.h"

#include <cstdint>

// How FormatValue turns a parameter's value into its label text.
enum DisplayKind : uint8_t {
    DisplayNumber = 0,       // "%d"
    DisplayPercent127 = 1,   // 0..127 as 0..100, then the unit
    DisplayNumberUnit = 2,   // the value, then the unit
    DisplayTenthSeconds = 3, // tenths of a second as seconds or minutes
    DisplayFlags = 4,        // no text: check boxes of the page
    DisplayComboIndex = 5,   // no text: the label is a combo box, value = item
    DisplayEdit = 6,         // no text: an edit box its dialog fills
    DisplayBandwidth = 7,    // an entry of the torque bandwidth table
    DisplayFilter = 8,       // 1..31 as 0..100 percent
    DisplayFixed412 = 9,     // 4.12 fixed point
};

// Width codes index {4, 2, 1} bytes.
constexpr uint8_t WidthCode4 = 0;
constexpr uint8_t WidthCode2 = 1;
constexpr uint8_t WidthCode1 = 2;

// The byte count of a width code; 0 for a code outside the table.
uint8_t WidthOfCode(uint8_t widthCode);

// Parameter number of the records that are not board parameters.
constexpr uint8_t NotABoardParam = 255;

// One board parameter bound to its dialog controls.
struct ParamControl {
    NativeHandle dialog = nullptr;   // null = no controls at present
    NativeHandle trackbar = nullptr; // looked up at binding
    int32_t trackbarId = 0;          // 0 = none
    int32_t labelId = 0;             // label, combo or edit box; 0 = none
    int32_t minimum = 0;
    int32_t maximum = 0;
    int32_t tickStep = 0;
    uint8_t unit = 0;                // character printed after the number
    int32_t value = 0;
    uint8_t number = 0;              // board parameter number
    uint8_t widthCode = 0;
    uint8_t displayKind = 0;         // DisplayKind
};
