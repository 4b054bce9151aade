#include "core/ParamControl.h"

uint8_t WidthOfCode(uint8_t widthCode)
{
    static constexpr uint8_t widths[] = {4, 2, 1};
    return widthCode < sizeof widths ? widths[widthCode] : 0;
}
