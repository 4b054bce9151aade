#pragma once

#include "app/AppContext.h"

// Start-up of the main settings page, right after its dialog exists.
void InitMainPage(AppContext& app, NativeHandle page);
