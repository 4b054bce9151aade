#include "controller/XInputIds.h"

#include <cstdio>

namespace {

unsigned HexAfter(const std::string& id, const char* mark, const char* format)
{
    const std::size_t at = id.find(mark);
    unsigned value = 0;
    if (at == std::string::npos || std::sscanf(id.c_str() + at, format, &value) != 1) return 0;
    return value;
}

} // namespace

std::vector<uint32_t> XInputIdsOf(const std::vector<std::string>& pnpDeviceIds)
{
    std::vector<uint32_t> ids;
    for (const std::string& id : pnpDeviceIds) {
        if (id.find("IG_") == std::string::npos) continue;
        const unsigned vid = HexAfter(id, "VID_", "VID_%4X");
        const unsigned pid = HexAfter(id, "PID_", "PID_%4X");
        ids.push_back(static_cast<uint32_t>(pid << 16 | (vid & 0xFFFFu)));
    }
    return ids;
}
