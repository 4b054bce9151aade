// Fuzzes the reading of an online script from the network into what the
// update check offers: every text must stay terminated inside its field,
// and the runtime's pools must get every block back.
#include "exec/Memory.h"
#include "FuzzExec.h"
#include "update/OnlineScript.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

template <std::size_t N>
void CheckText(const char (&text)[N])
{
    if (std::memchr(text, '\0', N) == nullptr) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) { return StartFuzzExec(16u << 20); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::size_t before = MainRamFree();
    ServerInfo info;
    if (!ParseOnlineScript("vt_servers.ini", reinterpret_cast<const char*>(data), size, info)) std::abort();
    CheckText(info.address);
    CheckText(info.toolLocation);
    CheckText(info.firmwareHost);
    CheckText(info.firmwareFile);
    if (MainRamFree() != before) std::abort(); // a pool block was lost
    return 0;
}
