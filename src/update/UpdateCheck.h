#pragma once

#include "platform/NativeHandle.h"

#include <cstddef>

struct AppContext;

// Asks the update server for newer versions of the tool and of the board
// firmware and offers them in message boxes owned by the window; quiet when
// started automatically (then "No update available" is not shown).
void CheckForUpdates(AppContext& app, NativeHandle window, bool quiet);

// Whether a download location from the network may be opened: only
// http:// and https:// addresses.
bool IsWebLocation(const char* location);

// Whether a firmware file name from the network may become a local file
// and an argument of avrdude: at most 64 letters, digits, '.', '_' and '-',
// ending in ".hex" (any letter case) after at least one more, and no
// device name of Windows.
bool IsFirmwareFileName(const char* name);
