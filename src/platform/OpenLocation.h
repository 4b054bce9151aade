#pragma once

#include "platform/NativeHandle.h"

// Hands a download location to the system's handler for it (ShellExecuteA
// "open", hidden, on Windows; xdg-open elsewhere) and returns at once.
using LocationOpener = void (*)(NativeHandle window, const char* location);

void OpenSystemLocation(NativeHandle window, const char* location);

// The opener in use: the system's unless another was put in place (tests).
// Returns the one it replaces; nullptr puts the system's back.
LocationOpener UseLocationOpener(LocationOpener opener);
void OpenLocation(NativeHandle window, const char* location);
