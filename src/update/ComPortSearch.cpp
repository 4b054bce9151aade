#include "update/ComPortSearch.h"

#include "exec/Exec.h"
#include "exec/Log.h"
#include "platform/ChildProcess.h"
#include "platform/Controls.h"
#include "platform/MessageBoxStyle.h"
#include "update/OutsideTools.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

constexpr std::size_t LineMax = 127; // a longer line is cut, its rest never read as a line of its own
constexpr int HighestPort = 128;
constexpr unsigned HighestNumber = 255; // a port number is a byte

// The lister's output lines; false (after the box) when it could not run.
bool RunLister(std::vector<std::string>& lines)
{
    if (!ActiveChildProcesses().ReadOutput(OutsideToolPath(OutsideTool::PortLister), lines)) {
        ActiveControls().ShowMessage(nullptr, "Could not execute listComPorts.exe", ExecCaption(),
                                     MessageIconInformation);
        return false;
    }
    for (std::string& line : lines)
        if (line.size() > LineMax) line.resize(LineMax);
    return true;
}

// The hexadecimal digits right behind the first `key` at or after `from`;
// false when the key or a digit is missing.
bool NumberAfter(const std::string& line, std::size_t from, const char* key, unsigned long& value)
{
    const std::size_t at = line.find(key, from);
    if (at == std::string::npos) return false;
    value = 0;
    std::size_t digits = 0;
    for (std::size_t i = at + 4; i < line.size() && std::isxdigit(static_cast<unsigned char>(line[i])); ++i, ++digits)
        value = value * 16 + static_cast<unsigned long>(std::stoul(std::string(1, line[i]), nullptr, 16));
    return digits > 0;
}

// The port of a lister line that carries these ids behind its "COM<n>", or 0.
uint8_t PortOfLine(const std::string& line, uint16_t vendorId, uint16_t productId)
{
    // Down from the highest, so that a line of COM12 is not taken for COM1.
    for (int n = HighestPort; n >= 1; --n) {
        const std::size_t at = line.find("COM" + std::to_string(n));
        if (at == std::string::npos) continue;
        const std::size_t behind = at + 3 + std::to_string(n).size();
        unsigned long vendor = 0, product = 0;
        if (NumberAfter(line, behind, "VID_", vendor) && NumberAfter(line, behind, "PID_", product) &&
            vendor == vendorId && product == productId)
            return static_cast<uint8_t>(n);
    }
    return 0;
}

} // namespace

uint8_t FindComPortFromIds(uint16_t vendorId, uint16_t productId)
{
    std::vector<std::string> lines;
    if (!RunLister(lines)) return 0;
    LogPrintf(0, "FindComPortFromIds : VID_%04x / PID_%04x", vendorId, productId);
    for (const std::string& line : lines) {
        LogPrintf(0, "%s", line.c_str());
        if (const uint8_t port = PortOfLine(line, vendorId, productId)) return port;
    }
    return 0;
}

std::vector<uint8_t> ComPortsFromIds(uint16_t vendorId, uint16_t productId)
{
    std::vector<std::string> lines;
    std::vector<uint8_t> ports;
    if (!RunLister(lines)) return ports;
    for (const std::string& line : lines)
        if (const uint8_t port = PortOfLine(line, vendorId, productId)) ports.push_back(port);
    return ports;
}

std::size_t ListComPorts(uint8_t (&ports)[MaxListedPorts])
{
    std::vector<std::string> lines;
    std::size_t count = 0;
    if (!RunLister(lines)) return 0;
    for (const std::string& line : lines) {
        const std::size_t at = line.find("COM");
        if (at == std::string::npos) continue;
        unsigned number = 0;
        for (std::size_t i = at + 3; i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])); ++i)
            number = std::min(number * 10 + static_cast<unsigned>(line[i] - '0'), HighestNumber + 1);
        if (number > HighestNumber) continue; // no port of the board's numbers: never taken for its low bits
        ports[count++] = static_cast<uint8_t>(number);
        if (count == MaxListedPorts) break;
    }
    return count;
}
