#pragma once

#include <cstddef>

struct AppContext;

// Flashes a firmware image (Intel HEX) into the board: checks the image,
// keeps it in a file of that name, restarts the board into its boot loader
// with a 1200-baud open and close of its port, finds the port the boot
// loader shows and runs "Tools\avrdude" on it. True when avrdude wrote the
// image; each failure shows at most its own message box.
bool FlashFirmware(AppContext& app, const char* fileName, const char* image, std::size_t length);
