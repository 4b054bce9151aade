// Finding the board and the drive: a device path, a COM number, or the
// port lister's line with their USB ids.
#include "board/LinkState.h"
#include "board/WheelLink.h"
#include "cli/Cli.h"
#include "core/AppContext.h"
#include "core/StartSwitches.h"
#include "drive/DriveLink.h"
#include "platform/SerialPort.h"
#include "update/ComPortSearch.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

struct Device {
    const char* what;
    uint16_t vendorId, productId;
    const char* pathOption;
    const char* comOption;
};
constexpr Device Board{"wheel board", 0x2341, 0x8036, "--port", "--com"};
constexpr Device DriveAdapter{"drive's RS-485 adapter", 0x0403, 0x6001, "--drive-port", "--drive-com"};

// "COM<n> (<device>)".
std::string PortLabel(uint8_t port) { return "COM" + std::to_string(port) + " (" + SerialDeviceName(port) + ")"; }

int ChoosePort(const Device& device, const std::string& path, const std::string& com, uint8_t& port)
{
    if (!path.empty()) {
        port = SerialPortOfDevice(path);
        return port != 0 ? ExitOk : Fail(ExitDevice, "%s: no such device for the %s", path.c_str(), device.what);
    }
    if (!com.empty()) {
        long long number = 0;
        if (!ParseNumber(com, number) || number < 1 || number > 255)
            return Fail(ExitUsage, "%s %s: a COM number 1..255 is wanted", device.comOption, com.c_str());
        port = static_cast<uint8_t>(number);
        return ExitOk;
    }
    port = FindComPortFromIds(device.vendorId, device.productId);
    if (port != 0) return ExitOk;
    return Fail(ExitDevice, "no port with the %s's USB ids (VID_%04X PID_%04X) among those listComPorts lists; name it "
                "with %s or %s", device.what, device.vendorId, device.productId, device.pathOption, device.comOption);
}

} // namespace

int Fail(int status, const char* format, ...)
{
    std::fputs("vantorctl: ", stderr);
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
    return status;
}

bool ParseNumber(const std::string& text, long long& value)
{
    if (text.empty() || text.find_first_not_of("+-0123456789") != std::string::npos) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0';
}

int ConnectBoard(Cli& cli)
{
    uint8_t port = 0;
    const int status = ChoosePort(Board, cli.invocation.port, cli.invocation.com, port);
    if (status != ExitOk) return status;
    cli.board = PortLabel(port);
    if (IdentifyWheel(cli.app, port)) return ExitOk;
    if (cli.app.linkState == LinkDisconnected) return Fail(ExitDevice, "%s: cannot be opened", cli.board.c_str());
    return Fail(ExitDevice, "%s: no wheel board answered (\"%s\" wants \"%s\" within 500 ms)", cli.board.c_str(),
                WheelProbe, WheelAnswer);
}

int BoardAnswered(Cli& cli)
{
    if (!cli.app.replyLost) return ExitOk;
    return Fail(ExitDevice, "%s: the board stopped answering (a reply took over 100 ms)", cli.board.c_str());
}

int ConnectDrive(Cli& cli)
{
    uint8_t port = 0;
    const int status = ChoosePort(DriveAdapter, cli.invocation.drivePort, cli.invocation.driveCom, port);
    if (status != ExitOk) return status;
    g_switches.dev = true;
    cli.app.driveComPort = port;
    ConfigureDrive(cli.app);
    if (cli.app.driveBus >= 0) return ExitOk;
    return Fail(ExitDevice, "%s: no SimpleMotion drive answered (node %d at 460800 baud)", PortLabel(port).c_str(),
                cli.app.driveAddress);
}
