// Fuzzes the reading of the port lister's lines (the input after its first
// two bytes, the vendor id looked for; the product id is its complement).
// At most 16 ports are listed; where each line naming a port has "COM" and
// digits, those numbers up to 255 in order; a port found by ids has a line
// (cut at 127 characters) with "COM<n>" and behind it "VID_" and "PID_".
#include "FuzzExec.h"
#include "platform/ChildProcess.h"
#include "platform/RecordingControls.h"
#include "update/ComPortSearch.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Lister final : ChildProcesses {
    std::vector<std::string> output;
    bool ReadOutput(const std::string&, std::vector<std::string>& lines) override { return !(lines = output).empty(); }
    int Run(const std::string&, const std::vector<std::string>&, uint32_t) override { return -1; }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) { return StartFuzzExec(1u << 20); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    Lister lister;
    std::vector<std::string> lines; // as the reader cuts them
    std::vector<unsigned long> named;
    bool plain = true;
    const std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);
    for (std::size_t start = 0, end = 0; start < text.size(); start = end + 1) {
        end = std::min(text.find('\n', start), text.size());
        lister.output.push_back(text.substr(start, end - start));
        const std::string& line = lines.emplace_back(lister.output.back().substr(0, 127));
        const std::size_t com = line.find("COM");
        if (com == std::string::npos) continue;
        const std::string digits = line.substr(com + 3, line.find_first_not_of("0123456789", com + 3) - com - 3);
        const std::string value = digits.substr(std::min(digits.find_first_not_of('0'), digits.size()));
        const unsigned long number = value.size() > 3 ? 1000 : value.empty() ? 0 : std::stoul(value); // 1000: no port
        plain = plain && number > 0;
        if (plain && number <= 255 && named.size() < MaxListedPorts) named.push_back(number);
    }
    RecordingControls controls;
    Controls* const previousControls = UseControls(&controls);
    ChildProcesses* const previous = UseChildProcesses(&lister);
    uint8_t ports[MaxListedPorts];
    const std::size_t count = ListComPorts(ports);
    const auto vendor = static_cast<uint16_t>(data[0] << 8 | data[1]);
    const std::string found = "COM" + std::to_string(FindComPortFromIds(vendor, static_cast<uint16_t>(~vendor)));
    UseChildProcesses(previous);
    UseControls(previousControls);
    if (count > MaxListedPorts || (plain && std::vector<unsigned long>(ports, ports + count) != named)) std::abort();
    if (found == "COM0") return 0;
    for (const std::string& line : lines) {
        const std::size_t at = line.find(found);
        if (at != std::string::npos && line.find("VID_", at) != std::string::npos &&
            line.find("PID_", at) != std::string::npos)
            return 0;
    }
    std::abort();
}
