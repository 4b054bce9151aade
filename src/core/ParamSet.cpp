#include "core/ParamSet.h"

namespace {

// The effect trackbars: range 0..127, ticks every 10, shown in percent.
constexpr ParamDefinition Effect(const char* name, uint8_t number, int32_t trackbar, int32_t label)
{
    return {name, number, WidthCode1, 0, 127, 10, DisplayPercent127, '%', trackbar, label, 0};
}

} // namespace

const ParamDefinition ParamSet[ParamCount] = {
    {"MaxAngle", 8, WidthCode4, 180, 2160, 10, DisplayNumberUnit, DegreeSign, 2037, 2023, 0},
    {"CenterOffset", 4, WidthCode4, 0, 0, 0, DisplayNumber, 0, 0, 2120, 0},
    Effect("MainGain", 17, 2021, 2029),
    {"ExternalGain", 254, WidthCode1, 0, 127, 10, DisplayPercent127, '%', 0, 2043, 0},
    Effect("GameFxSpring", 18, 2031, 2035),
    Effect("GameFxFriction", 19, 2046, 2048),
    Effect("GameFxDamper", 20, 2049, 2053),
    Effect("GameFxInertia", 21, 2063, 2124),
    Effect("GameFxConstant", 22, 2055, 2057),
    Effect("GameFxSine", 23, 2059, 2067),
    Effect("ForceTable", 24, 2069, 2074),
    {"CommandMode", 35, WidthCode1, 0, 3, 1, DisplayComboIndex, 0, 0, 0, 1},
    {"EncoderCounts", 12, WidthCode4, 1, 2147483647, 1, DisplayEdit, 0, 0, 2062, 10000},
    {"PwmFrequency", 79, WidthCode1, 0, 2, 1, DisplayComboIndex, 0, 0, 0, 0},
    {"StatisticsWindow", NotABoardParam, WidthCode4, 1, 3000, 10, DisplayTenthSeconds, 's', 2110, 2114, 10},
    {"Filter", 77, WidthCode1, 1, 31, 1, DisplayFilter, '%', 1077, 1078, 0},
    {"TorqueBandwidth", NotABoardParam, WidthCode1, 0, 11, 1, DisplayBandwidth, '%', 1079, 1080, 0},
    Effect("DesktopFxSpring", 26, 2032, 2036),
    Effect("DesktopFxDamper", 27, 2058, 2061),
    Effect("StopSpring", 28, 2044, 2070),
    Effect("StopDamper", 29, 2072, 2075),
    Effect("UserFxSpring", 30, 2038, 2042),
    Effect("UserFxFriction", 31, 2050, 2054),
    Effect("UserFxDamper", 32, 2062, 2065),
    Effect("UserFxInertia", 33, 2066, 2125),
    {"LinearityX", 80, WidthCode2, 512, 32767, 256, DisplayFixed412, '%', 1198, 1199, 32},
    {"LinearityY", 82, WidthCode2, 512, 32767, 256, DisplayFixed412, '%', 1198, 1199, 32},
    {"LinearityZ", 84, WidthCode2, 512, 32767, 256, DisplayFixed412, '%', 1198, 1199, 32},
    {"LinearityRx", 86, WidthCode2, 512, 32767, 256, DisplayFixed412, '%', 1198, 1199, 32},
    {"WheelFlags", 34, WidthCode1, 0, 1, 1, DisplayFlags, 0, 0, 0, 0},
    {"DebugLevel", 16, WidthCode1, 0, 3, 1, DisplayComboIndex, 0, 0, 1044, 0},
};

void InitParamControls(ParamControl (&records)[ParamCount])
{
    for (int i = 0; i < ParamCount; ++i) {
        records[i] = ParamControl{};
        records[i].value = ParamSet[i].defaultValue;
    }
}
