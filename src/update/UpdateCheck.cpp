#include "update/UpdateCheck.h"

#include "core/AppContext.h"
#include "core/Version.h"
#include "exec/Exec.h"
#include "exec/Log.h"
#include "exec/Memory.h"
#include "platform/Controls.h"
#include "platform/MessageBoxStyle.h"
#include "platform/OpenLocation.h"
#include "update/FirmwareFlash.h"
#include "update/HttpClient.h"
#include "update/OnlineScript.h"

#include <cctype>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

constexpr uint32_t PackedToolVersion = static_cast<uint32_t>(VersionMajor << 8 | VersionMinor);

bool StartsWithNoCase(std::string_view text, std::string_view start)
{
    if (text.size() < start.size()) return false;
    for (std::size_t i = 0; i < start.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != start[i]) return false;
    return true;
}

// CON, PRN, AUX, NUL, COM1..9 and LPT1..9, with or without an extension.
bool IsDeviceName(std::string_view name)
{
    const std::string_view stem = name.substr(0, name.find('.'));
    for (const char* device : {"con", "prn", "aux", "nul"})
        if (stem.size() == 3 && StartsWithNoCase(stem, device)) return true;
    return stem.size() == 4 && (StartsWithNoCase(stem, "com") || StartsWithNoCase(stem, "lpt")) && stem[3] >= '1' &&
           stem[3] <= '9';
}

// The offered firmware: downloaded and flashed on Yes.
void OfferFirmware(AppContext& app, NativeHandle window, const ServerInfo& info)
{
    Controls& controls = ActiveControls();
    if (controls.ShowMessage(window, "New firmware available, do you want to download it ?", ExecCaption(),
                             MessageYesNo | MessageIconQuestion) != MessageAnswerYes)
        return;
    if (!IsFirmwareFileName(info.firmwareFile)) {
        LogPrintf(0, "CheckForUpdates: firmware file name refused: %s", info.firmwareFile);
        return;
    }
    std::size_t length = 0;
    char* image = DownloadText(info.firmwareHost, info.firmwareFile, length);
    if (!image) return;
    if (!FlashFirmware(app, info.firmwareFile, image, length)) {
        controls.ShowMessage(window, "Could not flash the firmware, please check that your device is connected",
                             ExecCaption(), MessageIconInformation);
    }
    FreeMem(image);
}

} // namespace

bool IsWebLocation(const char* location)
{
    return StartsWithNoCase(location, "http://") || StartsWithNoCase(location, "https://");
}

bool IsFirmwareFileName(const char* name)
{
    constexpr std::size_t Longest = 64;
    constexpr std::string_view Extension = ".hex";
    const std::string_view text(name);
    if (text.size() <= Extension.size() || text.size() > Longest || IsDeviceName(text) ||
        !StartsWithNoCase(text.substr(text.size() - Extension.size()), Extension))
        return false;
    for (const char c : text) {
        const bool letterOrDigit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!letterOrDigit && c != '.' && c != '_' && c != '-') return false;
    }
    return true;
}

void CheckForUpdates(AppContext& app, NativeHandle window, bool quiet)
{
    app.commandBusy = 1;
    Controls& controls = ActiveControls();
    ServerInfo info;
    bool quit = false;
    if (ReadOnlineScript(ServerListIndex(ExecApplicationName()), info)) {
        const bool newTool = info.toolVersion > PackedToolVersion;
        if (newTool && controls.ShowMessage(window, "New configuration tool available, do you want to download it ?",
                                            ExecCaption(), MessageYesNo | MessageIconQuestion) == MessageAnswerYes) {
            if (IsWebLocation(info.toolLocation)) {
                OpenLocation(window, info.toolLocation);
                quit = true;
            } else {
                LogPrintf(0, "CheckForUpdates: download location refused: %s", info.toolLocation);
            }
        }
        const auto boardVersion = static_cast<int32_t>(app.firmwareVersion & 0xFFFF);
        if (!quit && static_cast<int32_t>(info.firmwareVersion) <= boardVersion) {
            if (!quiet && !newTool)
                controls.ShowMessage(window, "No update available", ExecCaption(), MessageIconInformation);
        } else if (!quit) {
            OfferFirmware(app, window, info);
        }
    }
    app.commandBusy = 0;
    if (quit && app.quitRequested) app.quitRequested(app);
}
