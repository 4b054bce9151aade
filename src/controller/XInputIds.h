#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The PID << 16 | VID words of the XInput devices among Plug and Play
// device ids: those that carry the mark "IG_". Each number is the
// hexadecimal one of at most four digits right after the first "VID_" and
// the first "PID_"; a missing or unreadable one is 0.
std::vector<uint32_t> XInputIdsOf(const std::vector<std::string>& pnpDeviceIds);
