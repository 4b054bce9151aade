#include "app/AppContext.h"

#include <algorithm>
#include <iterator>

AppContext g_app;

AppContext::AppContext()
{
    std::fill(std::begin(buttonOutputMap), std::end(buttonOutputMap), uint8_t{255});
    std::fill(std::begin(axisSources), std::end(axisSources), uint8_t{255});
}
