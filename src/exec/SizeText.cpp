#include "exec/SizeText.h"

#include "exec/MText.h"
#include "exec/RuntimeTexts.h"

#include <cstdio>

void FormatSize(uint64_t bytes, char* out, std::size_t outSize)
{
    unsigned power = 0;
    uint64_t unit = 1;
    for (uint64_t quotient = bytes; quotient / 1024 > 0; quotient /= 1024) {
        ++power;
        unit *= 1024;
    }
    const char* name = MTextString(RuntimeText(RuntimeTextId::MemUnits), power);
    if (!name) name = "";
    const uint64_t whole = bytes / unit;
    const uint64_t remainder = bytes % unit;
    if (remainder == 0)
        std::snprintf(out, outSize, "%llu %s", static_cast<unsigned long long>(whole), name);
    else
        std::snprintf(out, outSize, "%llu.%02llu %s", static_cast<unsigned long long>(whole),
                      static_cast<unsigned long long>(remainder * 100 / unit), name);
}
