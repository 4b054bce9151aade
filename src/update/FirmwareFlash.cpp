#include "update/FirmwareFlash.h"

#include "exec/Log.h"

#include <cstdio>

// Keeps the image; the board is not flashed from this program yet.
bool FlashFirmware(AppContext&, const char* fileName, const char* image, std::size_t length)
{
    std::FILE* file = std::fopen(fileName, "wb");
    if (file) {
        std::fwrite(image, 1, length, file);
        std::fclose(file);
    }
    LogPrintf(0, "FlashFirmware: %s kept, flashing is not available", fileName);
    return false;
}
