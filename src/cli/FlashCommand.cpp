// Firmware flashing from a terminal: the image checked before the board is
// touched, then the Windows tool's reset, port search and avrdude run.
#include "cli/Cli.h"
#include "core/AppContext.h"
#include "platform/ChildProcess.h"
#include "update/ComPortSearch.h"
#include "update/FirmwareFlash.h"
#include "update/HexImage.h"
#include "update/OutsideTools.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace {

constexpr char SystemAvrdudeConf[] = "/etc/avrdude.conf";
// A private folder for the copy of the image that avrdude is given, so the
// user's own file is never written; removed with it.
class ImageCopyFolder {
public:
    ImageCopyFolder()
    {
        std::error_code error;
        std::string pattern = (std::filesystem::temp_directory_path(error) / "vantorctl-XXXXXX").string();
        if (!error && mkdtemp(pattern.data())) path_ = pattern;
    }
    ~ImageCopyFolder()
    {
        std::error_code error;
        if (!path_.empty()) std::filesystem::remove_all(path_, error);
    }
    ImageCopyFolder(const ImageCopyFolder&) = delete;
    ImageCopyFolder& operator=(const ImageCopyFolder&) = delete;
    bool Made() const { return !path_.empty(); }
    std::string Image() const { return path_ + "/firmware.hex"; }

private:
    std::string path_;
};

// The first program of that name in the folders of PATH (empty entries
// are not taken for the working directory); "" when none.
std::string ProgramOnPath(const char* name)
{
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const std::string candidate = folder + "/" + name;
        if (!folder.empty() && access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return "";
}

// avrdude as --avrdude names it, else the first on PATH, with its
// configuration as --avrdude-conf names it, else the system's.
int PlaceProgrammer(const Invocation& invocation)
{
    const std::string avrdude = invocation.avrdude.empty() ? ProgramOnPath("avrdude") : invocation.avrdude;
    if (!FileExists(avrdude)) return Fail(ExitFile, "flash: no avrdude (on PATH, or name it with --avrdude)");
    const std::string conf = invocation.avrdudeConf.empty() ? SystemAvrdudeConf : invocation.avrdudeConf;
    if (!FileExists(conf)) return Fail(ExitFile, "flash: no %s (name it with --avrdude-conf)", conf.c_str());
    PlaceOutsideTool(OutsideTool::Programmer, avrdude);
    PlaceOutsideTool(OutsideTool::ProgrammerConfig, conf);
    return ExitOk;
}

} // namespace

int RunFlash(Cli& cli)
{
    const std::string& file = cli.arguments[0];
    std::string image;
    if (!ReadImageFile(file.c_str(), image)) return Fail(ExitFile, "flash: cannot read %s", file.c_str());
    char reason[96];
    if (!CheckHexImage(image.data(), image.size(), reason, sizeof reason))
        return Fail(ExitRefused, "flash: %s is no firmware image (%s)", file.c_str(), reason);
    if (const int status = PlaceProgrammer(cli.invocation); status != ExitOk) return status;
    if (const int status = ConnectBoard(cli); status != ExitOk) return status;

    AppContext& app = cli.app;
    uint8_t ports[MaxListedPorts];
    const std::size_t count = ListComPorts(ports);
    if (std::find(ports, ports + count, app.boardComPort) == ports + count)
        return Fail(ExitDevice, "flash: %s is not among the ports listComPorts lists, where the boot loader's port is "
                    "looked for", cli.board.c_str());
    const ImageCopyFolder copy;
    if (!copy.Made()) return Fail(ExitFile, "flash: cannot make a folder for the image's copy");
    const int messages = cli.controls.Messages();
    if (FlashFirmware(app, copy.Image().c_str(), image.data(), image.size())) return ExitOk;
    // Each failure but avrdude's own has told its message.
    if (cli.controls.Messages() == messages) Fail(ExitDevice, "flash: avrdude did not write %s", file.c_str());
    return ExitDevice;
}
