#pragma once

#include <cstddef>

struct AppContext;

// Writes the firmware image to the file and flashes it into the board;
// true when the board was flashed.
bool FlashFirmware(AppContext& app, const char* fileName, const char* image, std::size_t length);
