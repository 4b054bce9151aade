// Finding the board and the drive: a device path, a COM number, or the
// port lister's line with their USB ids.
#include "board/LinkState.h"
#include "board/WheelLink.h"
#include "cli/Cli.h"
#include "core/AppContext.h"
#include "core/StartSwitches.h"
#include "drive/DriveLink.h"
#include "drive/DriveSerial.h"
#include "platform/SerialPort.h"
#include "update/ComPortSearch.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

// The ports to try, in order: the one named, else every port listed with
// the device's USB ids (another device may carry them too).
int ChoosePorts(const Device& device, const std::string& path, const std::string& com, std::vector<uint8_t>& ports)
{
    if (!path.empty()) {
        const uint8_t port = SerialPortOfDevice(path);
        ports.assign(port != 0, port);
        return port != 0 ? ExitOk : Fail(ExitDevice, "%s: no such device for the %s", path.c_str(), device.what);
    }
    if (!com.empty()) {
        long long number = 0;
        if (!ParseNumber(com, number) || number < 1 || number > 255)
            return Fail(ExitUsage, "%s %s: a COM number 1..255 is wanted", device.comOption, com.c_str());
        ports.assign(1, static_cast<uint8_t>(number));
        return ExitOk;
    }
    ports = ComPortsFromIds(device.vendorId, device.productId);
    if (!ports.empty()) return ExitOk;
    return Fail(ExitDevice, "no port with the %s's USB ids (VID_%04X PID_%04X) among those listComPorts lists; name it "
                "with %s or %s", device.what, device.vendorId, device.productId, device.pathOption, device.comOption);
}

// Why the port's device cannot be opened, as the system tells it.
std::string OpenFailure(uint8_t port)
{
    const std::string device = SerialDeviceName(port);
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        std::string why = std::strerror(error);
        struct stat facts;
        const group* owner = error == EACCES && stat(device.c_str(), &facts) == 0 ? getgrgid(facts.st_gid) : nullptr;
        if (owner) why += std::string(" (to use it, be a member of the group ") + owner->gr_name + " that owns it)";
        return why;
    }
    const char* why = flock(fd, LOCK_EX | LOCK_NB) != 0 ? "in use by another program"
                      : !isatty(fd)                    ? "no serial port"
                                                       : "it went away";
    close(fd);
    return why;
}

std::string g_driveFault; // what the drive's transport told of an open that failed

void KeepDriveFault(const char* text) { g_driveFault = text; }

void Say(const char* format, va_list args)
{
    std::fputs("vantorctl: ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
}

} // namespace

int Fail(int status, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    Say(format, args);
    va_end(args);
    return status;
}

void Note(const Cli& cli, const char* format, ...)
{
    if (cli.invocation.quiet) return;
    va_list args;
    va_start(args, format);
    Say(format, args);
    va_end(args);
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
    std::vector<uint8_t> ports;
    if (const int status = ChoosePorts(Board, cli.invocation.port, cli.invocation.com, ports); status != ExitOk)
        return status;
    std::string tried; // the ports that were opened or tried, for the line that tells none answered
    for (std::size_t i = 0; i < ports.size(); ++i) {
        cli.board = PortLabel(ports[i]);
        if (IdentifyWheel(cli.app, ports[i])) return ExitOk;
        tried += (i > 0 ? ", " : "") + cli.board;
    }
    if (ports.size() == 1 && cli.app.linkState == LinkDisconnected)
        return Fail(ExitDevice, "%s: cannot be opened: %s", cli.board.c_str(), OpenFailure(ports[0]).c_str());
    return Fail(ExitDevice, "%s: no wheel board answered (\"%s\" wants \"%s\" within 500 ms)", tried.c_str(),
                WheelProbe, WheelAnswer);
}

int BoardAnswered(Cli& cli)
{
    if (!cli.app.replyLost) return ExitOk;
    return Fail(ExitDevice, "%s: the board stopped answering (a reply took over 100 ms)", cli.board.c_str());
}

int ConnectDrive(Cli& cli)
{
    std::vector<uint8_t> ports;
    if (const int status = ChoosePorts(DriveAdapter, cli.invocation.drivePort, cli.invocation.driveCom, ports);
        status != ExitOk)
        return status;
    g_switches.dev = true;
    const drive::FaultTeller previous = drive::UseFaultTeller(KeepDriveFault);
    for (const uint8_t port : ports) {
        g_driveFault.clear();
        cli.app.driveComPort = port;
        ConfigureDrive(cli.app);
        if (cli.app.driveBus >= 0) break;
    }
    drive::UseFaultTeller(previous);
    if (cli.app.driveBus >= 0) return ExitOk;
    const std::string label = PortLabel(cli.app.driveComPort);
    if (!g_driveFault.empty())
        return Fail(ExitDevice, "%s: cannot be opened: %s", label.c_str(), OpenFailure(cli.app.driveComPort).c_str());
    return Fail(ExitDevice, "%s: no SimpleMotion drive answered (node %d at 460800 baud)", label.c_str(),
                cli.app.driveAddress);
}
