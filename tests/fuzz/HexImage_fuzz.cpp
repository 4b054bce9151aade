// Fuzzes the firmware image check. An image it accepts must be one the board
// can take, as read here on its own: records of ':' and hex digit pairs
// whose bytes sum to 0, up to an end-of-file record, with some data and all
// of it below the boot section at 0x7000 (addresses summed without a limit
// of width). A refused image gets a reason.
#include "update/HexImage.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool Fits(const std::string& image)
{
    unsigned long long base = 0, data = 0;
    for (std::size_t start = 0, end = 0; start <= image.size(); start = end + 1) {
        end = std::min(image.find('\n', start), image.size());
        std::string line = image.substr(start, end - start), b;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        for (std::size_t i = 1; i < line.size(); i += 2) {
            const std::string pair = line.substr(i, 2);
            if (pair.size() != 2 || pair.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
            b += static_cast<char>(std::strtoul(pair.c_str(), nullptr, 16));
        }
        const auto at = [&](std::size_t i) { return static_cast<unsigned long long>(static_cast<uint8_t>(b[i])); };
        unsigned sum = 0;
        for (std::size_t i = 0; i < b.size(); ++i) sum += static_cast<unsigned>(at(i));
        if (line[0] != ':' || b.size() < 5 || sum % 256 != 0 || at(0) + 5 != b.size()) return false;
        if (at(3) == 0 && base + (at(1) << 8) + at(2) + at(0) > 0x7000) return false;
        if (at(3) == 0) data += at(0);
        if (at(3) == 1) return data > 0;
        if (at(3) == 2 || at(3) == 4) base = ((at(4) << 8) + at(5)) << (at(3) == 2 ? 4 : 16);
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string image(reinterpret_cast<const char*>(data), size);
    char reason[128];
    std::memset(reason, 'x', sizeof reason);
    const bool accepted = CheckHexImage(image.data(), image.size(), reason, sizeof reason);
    if (accepted ? !Fits(image) : reason[0] == '\0' || !std::memchr(reason, '\0', sizeof reason)) std::abort();
    return 0;
}
