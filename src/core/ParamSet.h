#pragma once

#include "core/ParamControl.h"

#include <cstdint>

// The board parameter set: the 31 records of the application context, in
// this order.
enum ParamIndex : uint8_t {
    MaxAngle = 0,
    CenterOffset,
    MainGain,
    ExternalGain,
    GameFxSpring,
    GameFxFriction,
    GameFxDamper,
    GameFxInertia,
    GameFxConstant,
    GameFxSine,
    ForceTable,
    CommandMode,
    EncoderCounts,
    PwmFrequency,
    StatisticsWindow, // a drive setting kept beside the board's
    Filter,
    TorqueBandwidth,  // a drive setting kept beside the board's
    DesktopFxSpring,
    DesktopFxDamper,
    StopSpring,
    StopDamper,
    UserFxSpring,
    UserFxFriction,
    UserFxDamper,
    UserFxInertia,
    LinearityX,
    LinearityY,
    LinearityZ,
    LinearityRx,
    WheelFlags,
    DebugLevel,
    ParamCount
};

// Everything the pages bind a record with: its name, its parameter number
// and width code, trackbar range and tick step, display kind and unit, and
// the control ids of its page. The records themselves start with only the
// default value; the pages bind the rest.
struct ParamDefinition {
    const char* name;
    uint8_t number;
    uint8_t widthCode;
    int32_t minimum;
    int32_t maximum;
    int32_t tickStep;
    uint8_t displayKind;
    uint8_t unit;
    int32_t trackbarId;
    int32_t labelId;
    int32_t defaultValue;
};

extern const ParamDefinition ParamSet[ParamCount];

// The records as the application context starts them: each default value,
// all other fields zero.
void InitParamControls(ParamControl (&records)[ParamCount]);

// The degree sign of the 8-bit character set, the unit of MaxAngle.
constexpr uint8_t DegreeSign = 0xB0;
