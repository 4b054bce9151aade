#pragma once

#include <cstddef>
#include <cstdint>

struct AppContext;

// Flashes a firmware image (Intel HEX) into the board: checks the image,
// keeps it in a file of that name, restarts the board into its boot loader
// with a 1200-baud open and close of its port, finds the port the boot
// loader shows and runs "Tools\avrdude" on it. True when avrdude wrote the
// image; each failure shows at most its own message box.
bool FlashFirmware(AppContext& app, const char* fileName, const char* image, std::size_t length);

// Its steps for a program that finds the boot loader's port its own way.
// Keeps the image in the file of that name for avrdude: written beside it,
// every write checked, then put in its place, so that a full disk or a
// locked file never leaves avrdude a cut-short or an old image. A file of
// that name that is no firmware image is the user's and is left alone.
bool KeepImage(const char* fileName, const char* image, std::size_t length);
// Runs avrdude on the boot loader's port; true when it says it wrote the image.
bool RunProgrammer(uint8_t bootPort, const char* fileName);
