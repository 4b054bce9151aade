#pragma once

#include "platform/NativeHandle.h"

// Asks the maker's update server for newer versions of the tool and of the
// board firmware and offers them to the user; quiet when started
// automatically. Not built yet: it does nothing so far.
void CheckForUpdates(NativeHandle window, bool quiet);
