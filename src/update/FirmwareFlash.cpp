#include "update/FirmwareFlash.h"

#include "board/WheelLink.h"
#include "core/AppContext.h"
#include "exec/Exec.h"
#include "exec/Log.h"
#include "platform/ChildProcess.h"
#include "platform/Clock.h"
#include "platform/Controls.h"
#include "platform/MessageBoxStyle.h"
#include "platform/SerialPort.h"
#include "update/ComPortSearch.h"
#include "update/HexImage.h"
#include "update/OutsideTools.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

void Tell(const char* text) { ActiveControls().ShowMessage(nullptr, text, ExecCaption(), MessageIconInformation); }

bool Listed(const uint8_t* ports, std::size_t count, uint8_t port)
{
    return std::find(ports, ports + count, port) != ports + count;
}

void KeepImage(const char* fileName, const char* image, std::size_t length)
{
    std::FILE* file = std::fopen(fileName, "wb");
    if (!file) return; // avrdude then finds no file and fails
    std::fwrite(image, 1, length, file);
    std::fclose(file);
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

// Runs avrdude on the boot loader's port; true when it says it wrote the image.
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
        program, {"avrdude", config, "-v", "-patmega32u4", "-cavr109", port, "-b57600", "-D", write});
    if (status == 0) return true;
    LogPrintf(0, "FlashFirmware: avrdude failed (exit status %d)", status);
    return false;
}

} // namespace

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
    KeepImage(fileName, image, length);
    uint8_t oldPorts[MaxListedPorts];
    const std::size_t oldCount = ListComPorts(oldPorts);
    if (!Listed(oldPorts, oldCount, app.boardComPort)) return false;

    app.commandBusy = 1;
    const uint8_t bootPort = StartBootLoader(app, oldPorts, oldCount);
    const bool flashed = bootPort != 0 && RunProgrammer(bootPort, fileName);
    if (flashed) app.firmwareVersion = 0; // read again from the board that comes back
    app.commandBusy = 0;
    return flashed;
}
