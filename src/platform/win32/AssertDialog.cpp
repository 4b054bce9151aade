#include "platform/AssertDialog.h"

#include <windows.h>

bool ShowAssertDialog(const char* title, const char* text)
{
    return MessageBoxA(nullptr, text, title, MB_RETRYCANCEL | MB_ICONERROR) == IDRETRY;
}
