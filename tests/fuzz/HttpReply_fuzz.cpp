// Fuzzes the HTTP client's handling of a reply through stand-ins of the
// sockets, with a clock that moves (100 ms a sleep) only while the reply does
// not change. Input: how the server ends (close, fail, silence), then chunks
// (a length byte and its bytes, or 0xFF: 300 KiB of filler). Only a closed
// reply of at most 1 MiB whose first 16 bytes hold "HTTP/" and, behind their
// first blank, "200" has a body: all behind the first "text/plain\r\n\r\n".
#include "exec/Memory.h"
#include "FuzzExec.h"
#include "platform/Clock.h"
#include "platform/TcpSocket.h"
#include "update/HttpClient.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>

namespace {

std::string_view g_input;        // the chunks not yet sent
std::string g_pending, g_reply;  // the rest of the chunk being sent; all that was sent
int g_ending = 0;                // 0 closes, 1 fails, 2 falls silent
std::atomic<bool> g_silent{false};
HttpClient* g_client = nullptr;

struct WaitingClock final : Clock {
    uint64_t now = 0;
    uint64_t Milliseconds() override { return now; }
    void Sleep(uint32_t ms) override
    {
        for (int spin = 0; g_client->CurrentState() == HttpClient::Receiving && !g_silent; ++spin)
            if (spin > 1000) std::this_thread::sleep_for(std::chrono::microseconds(10));
        now += ms + 99; // longer than asked, as on a busy system
    }
    bool WaitForInput(SerialHandle, uint32_t) override { return false; } // no serial port here
} g_clock;

} // namespace

bool StartSockets(int&) { return true; }
void StopSockets() {}
bool ResolveHost(const char*, uint32_t& address) { return (address = 0x7F000001) != 0; }
TcpHandle ConnectTcp(uint32_t, uint16_t, uint32_t) { return 3; }
bool SendTcp(TcpHandle, const char*, std::size_t) { return true; }
void CloseTcp(TcpHandle) {}
long ReceiveTcp(TcpHandle, char* buffer, std::size_t size, uint32_t)
{
    while (g_pending.empty() && !g_input.empty()) {
        const auto length = static_cast<uint8_t>(g_input[0]);
        const std::size_t n = length == 0xFF ? 0 : std::min<std::size_t>(length, g_input.size() - 1);
        g_pending = length == 0xFF ? std::string(300 << 10, 'x') : std::string(g_input.substr(1, n));
        g_input.remove_prefix(1 + n);
    }
    if (g_pending.empty()) {
        if (g_ending != 2) return g_ending == 0 ? 0 : TcpFailed;
        g_silent = true;
        std::this_thread::sleep_for(std::chrono::microseconds(10));
        return TcpNothingYet;
    }
    const std::size_t n = g_pending.copy(buffer, size);
    g_reply += g_pending.substr(0, n);
    g_pending.erase(0, n);
    return static_cast<long>(n);
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    UseClock(&g_clock);
    return StartFuzzExec(4u << 20);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    g_ending = data[0] % 3;
    g_input = std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1);
    g_pending.clear();
    g_reply.clear();
    g_silent = false;
    const std::size_t before = MainRamFree();
    {
        HttpClient client;
        g_client = &client;
        std::size_t length = 0;
        const char* body = client.GetText("updates.example", "vt_servers.ini", length);
        const std::string head = g_reply.substr(0, 16), status = head.substr(head.find(' ') + 1);
        const std::size_t marker = g_reply.find("text/plain\r\n\r\n");
        const bool ok = g_ending == 0 && g_reply.size() <= HttpClient::ReplyLimit && head.starts_with("HTTP/") &&
                        status.starts_with("200") && marker != std::string::npos;
        if (ok != (body != nullptr) || (ok && g_reply.compare(marker + 14, std::string::npos, body, length) != 0))
            std::abort();
    }
    if (MainRamFree() != before) std::abort(); // a pool block was lost
    return 0;
}
