#include "platform/OpenLocation.h"

#include <windows.h>
#include <shellapi.h>

void OpenSystemLocation(NativeHandle window, const char* location)
{
    ShellExecuteA(static_cast<HWND>(window), "open", location, nullptr, nullptr, SW_HIDE);
}
