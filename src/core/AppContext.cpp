#include "core/AppContext.h"

#include <algorithm>
#include <iterator>

AppContext g_app;

AppContext::AppContext()
{
    InitParamControls(params);
    std::fill(std::begin(pins.buttonOutputMap), std::end(pins.buttonOutputMap), NoPin);
    std::fill(std::begin(pins.axisSources), std::end(pins.axisSources), NoPin);
    // No gain source until the board has told its own.
    pins.externalGainSource = NoPin;
}
