#include "PadLog.h"

#include <cstdarg>
#include <cstdio>

void PadLog(const char* format, ...)
{
    static std::FILE* file = std::fopen("padsim.log", "wb");
    if (!file) return;
    std::va_list arguments;
    va_start(arguments, format);
    std::vfprintf(file, format, arguments);
    va_end(arguments);
    std::fputs("\r\n", file);
    std::fflush(file);
}

const char* ResultText(long result)
{
    static char text[16];
    if (result == 0) return "0";
    std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(result));
    return text;
}
