// COM ports on Linux: the links comn in the COM port directory
// (VANTOR_DOSDEVICES, default ~/.vantor/dosdevices), as Wine's dosdevices
// name them. A link to a tty that sysfs (VANTOR_SYSFS, default /sys) shows
// below a USB device gets that device's ids; any other link that leads
// somewhere (a pty, a plain serial port) is listed without ids.
#include "PortList.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string FromEnvironment(const char* name, const std::string& fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

fs::path PortDirectory()
{
    const char* home = std::getenv("HOME");
    return FromEnvironment("VANTOR_DOSDEVICES", std::string(home ? home : "") + "/.vantor/dosdevices");
}

// n of a name "comn" written as the program writes it (no leading zeros), else 0.
unsigned ComNumber(const std::string& name)
{
    if (name.size() < 4 || name.compare(0, 3, "com") != 0) return 0;
    const std::string digits = name.substr(3);
    if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 3) return 0;
    const unsigned long n = std::strtoul(digits.c_str(), nullptr, 10);
    return std::to_string(n) == digits ? static_cast<unsigned>(n) : 0;
}

std::string FirstLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// Four hex digits, upper case, of a sysfs id ("2341", "2a03"); empty when it is none.
std::string HexId(const std::string& text)
{
    char* end = nullptr;
    const unsigned long id = std::strtoul(text.c_str(), &end, 16);
    if (text.empty() || end == text.c_str() || *end != '\0' || id > 0xffff) return {};
    char digits[5];
    std::snprintf(digits, sizeof digits, "%04lX", id);
    return digits;
}

// The ids of the USB device above the tty named like the link's target.
void AddUsbIds(const fs::path& target, ComPortEntry& port)
{
    std::error_code error;
    const fs::path sysfs = fs::canonical(FromEnvironment("VANTOR_SYSFS", "/sys"), error);
    fs::path device = fs::canonical(sysfs / "class/tty" / target.filename() / "device", error);
    if (error) return;
    for (; device.native().size() > sysfs.native().size(); device = device.parent_path()) {
        const std::string vendor = HexId(FirstLine(device / "idVendor"));
        const std::string product = HexId(FirstLine(device / "idProduct"));
        if (vendor.empty() || product.empty()) continue;
        const std::string name = FirstLine(device / "product");
        port.description = (name.empty() ? "USB Serial Device" : name) + " (COM" + std::to_string(port.number) + ")";
        port.hardwareId = "USB\\VID_" + vendor + "&PID_" + product;
        return;
    }
}

} // namespace

std::vector<ComPortEntry> ListPorts()
{
    std::vector<ComPortEntry> ports;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(PortDirectory(), error)) {
        ComPortEntry port;
        port.number = ComNumber(entry.path().filename().string());
        if (port.number == 0) continue;
        std::error_code unresolved;
        const fs::path target = fs::canonical(entry.path(), unresolved);
        if (unresolved) continue; // a link to nothing is no port
        port.description = target.string();
        AddUsbIds(target, port);
        ports.push_back(port);
    }
    return ports;
}
