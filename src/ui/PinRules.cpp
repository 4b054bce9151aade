#include "ui/PinRules.h"

#include <algorithm>
#include <span>

namespace {

constexpr uint8_t FirstSubInput = 128;
constexpr uint8_t LastSubInput = FirstSubInput + SubInputsPerPin * (PinA11 - PinA0 + 1) - 1;
constexpr uint8_t SourceLc23 = 224;
constexpr uint8_t SourceLc89 = 227;

struct NamedPin {
    uint8_t code;
    const char* name;
};

constexpr NamedPin PinNames[] = {
    {0, "D0"},      {1, "D1"},       {2, "D2"},        {3, "D3"},        {4, "D4"},        {5, "D5"},
    {6, "D6"},      {7, "D7"},       {8, "D8"},        {9, "D9"},        {10, "D10"},      {11, "D11"},
    {12, "D12"},    {13, "D13"},     {14, "MISO"},     {15, "SCK"},      {16, "MOSI"},     {17, "SS"},
    {18, "A0"},     {19, "A1"},      {20, "A2"},       {21, "A3"},       {22, "A4"},       {23, "A5"},
    {24, "A6"},     {25, "A7"},      {26, "A8"},       {27, "A9"},       {28, "A10"},      {29, "A11"},
    {224, "LC(2-3)"}, {225, "LC(4-12)"}, {226, "LC(5-7)"}, {227, "LC(8-9)"}, {240, "Enc(0-1)"}, {255, "None"},
};

// The digital pins of A6..A11.
constexpr uint8_t SharedPins[] = {4, 6, 8, 9, 10, 12};

// Pins held by each command mode: "PWM", "PWM+Dir", "PWM +/-", "VNH5019".
constexpr uint8_t PwmPins[] = {11};
constexpr uint8_t PwmDirPins[] = {10, 11};
constexpr uint8_t Vnh5019Pins[] = {2, 4, 6, 7, 8, 9, 10, 12, 18, 19};

// Pins of the two-pin sources LC(2-3), LC(4-12), LC(5-7), LC(8-9) and of the encoder.
constexpr uint8_t LcPins[][2] = {{2, 3}, {4, 12}, {5, 7}, {8, 9}};
constexpr uint8_t EncoderPins[] = {0, 1, 6};

bool IsSubInput(uint8_t code) { return code >= FirstSubInput && code <= LastSubInput; }

// The pin a code occupies: a sub-input occupies its analog pin's.
uint8_t OccupiedPin(uint8_t code)
{
    if (!IsSubInput(code)) return PhysicalPin(code);
    return PhysicalPin(static_cast<uint8_t>(PinA0 + (code - FirstSubInput) / SubInputsPerPin));
}

int SubInputNumber(uint8_t code) { return (code - FirstSubInput) % SubInputsPerPin; }

std::span<const uint8_t> ReservedPins(int32_t commandMode)
{
    switch (commandMode) {
    case 0: return PwmPins;
    case 1:
    case 2: return PwmDirPins;
    case 3: return Vnh5019Pins;
    default: return {};
    }
}

std::span<const uint8_t> SourcePins(uint8_t source)
{
    if (source >= SourceLc23 && source <= SourceLc89) return LcPins[source - SourceLc23];
    if (source == SourceEncoder) return EncoderPins;
    return {};
}

bool Holds(std::span<const uint8_t> pins, uint8_t pin) { return std::find(pins.begin(), pins.end(), pin) != pins.end(); }

// Does a pin byte of another slot clash with the code?
bool Clashes(uint8_t mapped, uint8_t code)
{
    const uint8_t m = PhysicalPin(mapped);
    if (m == code) return true;
    if (!IsSubInput(m) || OccupiedPin(m) != OccupiedPin(code)) return false;
    return !IsSubInput(code) || SubInputNumber(m) == SubInputNumber(code);
}

} // namespace

const char* PinName(uint8_t code)
{
    for (const NamedPin& pin : PinNames)
        if (pin.code == code) return pin.name;
    return nullptr;
}

uint8_t PhysicalPin(uint8_t code)
{
    if (code >= PinA6 && code <= PinA11) return SharedPins[code - PinA6];
    return code;
}

bool PinIsFree(const AppContext& app, uint8_t code, int slot)
{
    const uint8_t c = PhysicalPin(code);
    for (int t = 0; t < ButtonOutputCount; ++t) {
        const uint8_t mapped = app.pins.buttonOutputMap[t];
        if (t != slot && mapped != NoPin && Clashes(mapped, c)) return false;
    }
    const uint8_t pin = OccupiedPin(c);
    if (Holds(ReservedPins(app.params[CommandMode].value), pin)) return false;
    const PinMap& pins = app.pins;
    for (uint8_t source : {pins.axisSources[0], pins.axisSources[1], pins.axisSources[2], pins.axisSources[3],
                           pins.externalGainSource}) {
        const uint8_t a = PhysicalPin(source);
        if (a != NoPin && (a == pin || Holds(SourcePins(a), pin))) return false;
    }
    return true;
}
