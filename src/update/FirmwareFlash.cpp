#include "update/FirmwareFlash.h"

#include "board/WheelLink.h"
#include "core/AppContext.h"
#include "exec/Exec.h"
#include "exec/Log.h"
#include "platform/ChildProcess.h"
#include "platform/Clock.h"
#include "platform/Controls.h"
#include "platform/FileReplace.h"
#include "platform/MessageBoxStyle.h"
#include "platform/SerialPort.h"
#include "update/ComPortSearch.h"
#include "update/HexImage.h"
#include "update/OutsideTools.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Far above the time avrdude takes for a full application area at 57600
// baud; a port that answers for ever (another device) ends it there.
constexpr uint32_t ProgrammerLimitMs = 120000;

void Tell(const char* text) { ActiveControls().ShowMessage(nullptr, text, ExecCaption(), MessageIconInformation); }

// A failure that stops the flash before the board is touched: told and logged.
bool Stop(const char* format, const char* fileName)
{
    char text[320];
    std::snprintf(text, sizeof text, format, fileName);
    LogPrintf(0, "FlashFirmware: %s", text);
    Tell(text);
    return false;
}

bool Listed(const uint8_t* ports, std::size_t count, uint8_t port)
{
    return std::find(ports, ports + count, port) != ports + count;
}

// Whether the file holds a firmware image (one this program kept before).
bool HoldsFirmwareImage(const char* fileName)
{
    std::string content;
    char reason[96];
    return ReadImageFile(fileName, content) && CheckHexImage(content.data(), content.size(), reason, sizeof reason);
}

// Restarts the board into its boot loader and returns the port the boot
// loader shows, 0 when none (after its message).
uint8_t StartBootLoader(AppContext& app, const uint8_t* oldPorts, std::size_t oldCount)
{
    if (!ResetBoard(app)) {
        char text[64];
        std::snprintf(text, sizeof text, "Could not reset your board on COM%d", app.boardComPort);
        Tell(text);
        return 0;
    }
    ActiveClock().Sleep(static_cast<uint32_t>(app.resetDelay));
    uint8_t newPorts[MaxListedPorts];
    const std::size_t newCount = ListComPorts(newPorts);
    for (std::size_t i = newCount; i-- > 0;)
        if (!Listed(oldPorts, oldCount, newPorts[i])) return newPorts[i];
    Tell("Could find any board with a bootloader");
    return 0;
}

} // namespace

bool KeepImage(const char* fileName, const char* image, std::size_t length)
{
    std::error_code error;
    const std::filesystem::file_status there = std::filesystem::status(fileName, error);
    if (std::filesystem::exists(there)) {
        if (!std::filesystem::is_regular_file(there))
            return Stop("Could not write the firmware to %s: a folder or device has that name", fileName);
        if (!HoldsFirmwareImage(fileName))
            return Stop("The file %s is no firmware image and was left as it is", fileName);
    }
    const std::string temporary = std::string(fileName) + ".new";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file) {
        bool written = std::fwrite(image, 1, length, file) == length;
        written = FlushToDisk(file) && written;
        written = std::fclose(file) == 0 && written;
        if (written && ReplaceFileWith(temporary.c_str(), fileName)) return true;
        std::remove(temporary.c_str());
    }
    return Stop("Could not write the firmware to %s", fileName);
}

bool RunProgrammer(uint8_t bootPort, const char* fileName)
{
    const std::string port = "-P" + ProgramPortName(bootPort);
    const std::string config = "-C" + OutsideToolPath(OutsideTool::ProgrammerConfig);
    const std::string write = std::string("-Uflash:w:") + fileName + ":i";
    const std::string program = OutsideToolPath(OutsideTool::Programmer);
    LogPrintf(0, "avrdude :");
    LogPrintf(0, "%s %s -v -patmega32u4 -cavr109 %s -b57600 -D%s", program.c_str(), config.c_str(), port.c_str(),
              write.c_str());
    const int status = ActiveChildProcesses().Run(
        program, {"avrdude", config, "-v", "-patmega32u4", "-cavr109", port, "-b57600", "-D", write}, ProgrammerLimitMs);
    if (status == 0) return true;
    if (status == ChildStopped)
        LogPrintf(0, "FlashFirmware: avrdude did not end within %u s and was stopped", ProgrammerLimitMs / 1000);
    else
        LogPrintf(0, "FlashFirmware: avrdude failed (exit status %d)", status);
    return false;
}

bool FlashFirmware(AppContext& app, const char* fileName, const char* image, std::size_t length)
{
    char reason[96];
    if (!CheckHexImage(image, length, reason, sizeof reason)) {
        LogPrintf(0, "FlashFirmware: %s refused: %s", fileName, reason);
        char text[160];
        std::snprintf(text, sizeof text, "The firmware %s is no valid firmware image (%s)", fileName, reason);
        Tell(text);
        return false;
    }
    if (!KeepImage(fileName, image, length)) return false;
    uint8_t oldPorts[MaxListedPorts];
    const std::size_t oldCount = ListComPorts(oldPorts);
    if (!Listed(oldPorts, oldCount, app.boardComPort)) return false;

    // Kept set for the board's sake until the caller, whose boxes may still
    // let timer ticks through, ends its own step.
    const uint8_t busy = app.commandBusy;
    app.commandBusy = 1;
    const uint8_t bootPort = StartBootLoader(app, oldPorts, oldCount);
    const bool flashed = bootPort != 0 && RunProgrammer(bootPort, fileName);
    if (flashed) app.firmwareVersion = 0; // read again from the board that comes back
    app.commandBusy = busy;
    return flashed;
}
