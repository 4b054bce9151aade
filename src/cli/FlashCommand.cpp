// Firmware flashing from a terminal: the image checked before the board is
// touched, then the Windows tool's reset, port search and avrdude run.
#include "board/WheelLink.h"
#include "cli/Cli.h"
#include "cli/DeviceWatch.h"
#include "core/AppContext.h"
#include "platform/ChildProcess.h"
#include "platform/Clock.h"
#include "platform/SerialPort.h"
#include "update/ComPortSearch.h"
#include "update/FirmwareFlash.h"
#include "update/HexImage.h"
#include "update/OutsideTools.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
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
    std::string Output() const { return path_ + "/output.txt"; }

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

// Why the image file could not be read.
std::string ImageFileFault(const std::string& file, int error)
{
    namespace fs = std::filesystem;
    std::error_code ignored;
    const fs::file_status status = fs::status(file, ignored);
    if (!fs::exists(status)) return std::strerror(ENOENT);
    if (fs::is_directory(status)) return std::strerror(EISDIR);
    if (!fs::is_regular_file(status)) return "not a regular file";
    if (fs::file_size(file, ignored) > ImageFileLimit) return "larger than 1 MiB, more than a firmware image holds";
    return std::strerror(error);
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

// What is said on the terminal while the image is written (avrdude's
// detail above all), held in a file and shown only when the flash fails;
// with -v it goes to the terminal as it comes.
class HeldOutput {
public:
    HeldOutput(const std::string& path, bool shown)
    {
        if (shown) return;
        std::fflush(stdout);
        std::fflush(stderr);
        file_ = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (file_ < 0) return;
        path_ = path;
        for (int stream : {1, 2}) {
            saved_[stream - 1] = fcntl(stream, F_DUPFD_CLOEXEC, 3);
            dup2(file_, stream);
        }
    }
    ~HeldOutput() { End(false); }
    HeldOutput(const HeldOutput&) = delete;
    HeldOutput& operator=(const HeldOutput&) = delete;
    // Gives the terminal back, with what was held when `show`.
    void End(bool show)
    {
        if (file_ < 0) return;
        std::fflush(stdout);
        std::fflush(stderr);
        for (int stream : {1, 2}) {
            dup2(saved_[stream - 1], stream);
            close(saved_[stream - 1]);
        }
        close(file_);
        file_ = -1;
        if (show) std::fputs(std::string(std::istreambuf_iterator<char>(std::ifstream(path_).rdbuf()), {}).c_str(), stderr);
    }

private:
    int file_ = -1, saved_[2] = {-1, -1};
    std::string path_;
};

// How often the devices beside the board's are looked at while its reset
// is waited for.
constexpr int32_t LookEvery = 50;

// The flash of a board named by a device that no COM port link names: the
// boot loader's port is the device that shows up beside it after the reset.
int FlashBesideDevice(Cli& cli, const std::string& copy, const std::string& image)
{
    AppContext& app = cli.app;
    if (!KeepImage(copy.c_str(), image.data(), image.size())) return ExitFile;
    DeviceWatch watch(cli.invocation.port);
    if (!ResetBoard(app)) return Fail(ExitDevice, "flash: %s: the board could not be reset", cli.board.c_str());
    for (int32_t waited = 0; waited < app.resetDelay; waited += LookEvery) {
        ActiveClock().Sleep(LookEvery);
        watch.Look();
    }
    const std::vector<std::string> appeared = watch.Appeared();
    if (appeared.empty())
        return Fail(ExitDevice, "no boot loader showed up: no new serial device beside %s after the board's reset",
                    cli.invocation.port.c_str());
    if (appeared.size() > 1)
        return Fail(ExitDevice, "flash: more than one serial device showed up after the board's reset (%s and %s); "
                    "unplug the others and try again", appeared[0].c_str(), appeared[1].c_str());
    const uint8_t bootPort = SerialPortOfDevice(appeared[0]);
    if (bootPort == 0 || !RunProgrammer(bootPort, copy.c_str()))
        return Fail(ExitDevice, "flash: avrdude did not write %s", cli.arguments[0].c_str());
    return ExitOk;
}

// The flash of a board on a port that listComPorts lists, as the Windows
// tool does it; ExitOk, or the status after its line.
int FlashListed(Cli& cli, const std::string& copy, const std::string& image)
{
    const int messages = cli.controls.Messages();
    if (FlashFirmware(cli.app, copy.c_str(), image.data(), image.size())) return ExitOk;
    // Each failure but avrdude's own has told its message.
    if (cli.controls.Messages() == messages) Fail(ExitDevice, "flash: avrdude did not write %s", cli.arguments[0].c_str());
    return ExitDevice;
}

} // namespace

int RunFlash(Cli& cli)
{
    const std::string& file = cli.arguments[0];
    std::string image;
    errno = 0;
    if (!ReadImageFile(file.c_str(), image))
        return Fail(ExitFile, "flash: cannot read %s: %s", file.c_str(), ImageFileFault(file, errno).c_str());
    char reason[96];
    if (!CheckHexImage(image.data(), image.size(), reason, sizeof reason))
        return Fail(ExitRefused, "flash: %s is no firmware image (%s)", file.c_str(), reason);
    if (const int status = PlaceProgrammer(cli.invocation); status != ExitOk) return status;
    if (const int status = ConnectBoard(cli); status != ExitOk) return status;

    AppContext& app = cli.app;
    uint8_t ports[MaxListedPorts];
    const std::size_t count = ListComPorts(ports);
    const bool listed = std::find(ports, ports + count, app.boardComPort) != ports + count;
    if (!listed && cli.invocation.port.empty())
        return Fail(ExitDevice, "flash: %s is not among the ports listComPorts lists, where the boot loader's port is "
                    "looked for", cli.board.c_str());
    const ImageCopyFolder copy;
    if (!copy.Made()) return Fail(ExitFile, "flash: cannot make a folder for the image's copy");
    HeldOutput held(copy.Output(), cli.invocation.verbose);
    const int status = listed ? FlashListed(cli, copy.Image(), image) : FlashBesideDevice(cli, copy.Image(), image);
    held.End(status != ExitOk);
    return status;
}
