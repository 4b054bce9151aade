#include "platform/AssertDialog.h"

#include <cstdio>

bool ShowAssertDialog(const char* title, const char* text)
{
    std::fprintf(stderr, "[%s]\n%s\n", title, text);
    return false;
}
