// Fuzzes the board link's reading of the board's bytes through a stand-in of
// the serial port (each write brings the next chunk of the input, a length
// byte and its bytes) and a clock that moves 1 ms a read. The probe finds the
// answer if and only if it comes in time within 127 bytes of the first 'I';
// a read gives the chunk's first bytes, little-endian and sign-extended, or
// when too few came the fallback, and after that no read is sent.
#include "board/BoardProtocol.h"
#include "board/WheelLink.h"
#include "core/AppContext.h"
#include "platform/Clock.h"
#include "platform/SerialPort.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

namespace {

std::string_view g_input;               // the chunks not yet brought
std::string g_queue, g_written, g_chunk; // the receive queue; every byte written; the chunk last brought

struct SteppingClock final : Clock {
    uint64_t now = 0;
    uint64_t Milliseconds() override { return now++; }
    void Sleep(uint32_t ms) override { now += ms; }
    bool WaitForInput(SerialHandle, uint32_t ms) override { return !g_queue.empty() || (now += ms, false); }
} g_clock;

} // namespace

SerialHandle SerialOpen(uint8_t, uint32_t) { return 5; }
bool SerialClose(SerialHandle) { return true; }
uint32_t SerialWrite(SerialHandle, const uint8_t* bytes, uint32_t count)
{
    g_written.append(reinterpret_cast<const char*>(bytes), count);
    const std::size_t n = g_input.empty() ? 0 : std::min<std::size_t>(uint8_t(g_input[0]), g_input.size() - 1);
    g_chunk = g_input.substr(std::min<std::size_t>(1, g_input.size()), n);
    g_queue += g_chunk;
    g_input.remove_prefix(std::min(g_input.size(), 1 + n));
    return count;
}
uint32_t SerialReadOnce(SerialHandle, uint8_t* buffer, uint32_t count)
{
    const std::size_t n = g_queue.copy(reinterpret_cast<char*>(buffer), count);
    g_queue.erase(0, n);
    return static_cast<uint32_t>(n);
}
uint32_t SerialBytesWaiting(SerialHandle) { return static_cast<uint32_t>(g_queue.size()); }
bool SerialWaitInput(SerialHandle, uint32_t) { return !g_queue.empty(); }
void SerialPurge(SerialHandle) { g_queue.clear(); }
void SerialDropInput(SerialHandle) { g_queue.clear(); }
void SerialSetLines(SerialHandle, bool) {}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    UseClock(&g_clock);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    g_input = std::string_view(reinterpret_cast<const char*>(data), size);
    g_queue.clear();
    g_written.clear();
    auto app = std::make_unique<AppContext>();
    const bool found = IdentifyWheel(*app, 3);
    const std::size_t first = g_chunk.find('I'), answer = g_chunk.find(WheelAnswer);
    const bool expected = answer != std::string::npos && answer + 10 - first <= 127;
    if (g_written != WheelProbe || found != app->boardPort.IsOpen() || (found && !expected) ||
        (expected && answer < 400 && !found))
        std::abort();
    while (found && !g_input.empty()) {
        const auto number = static_cast<uint8_t>(g_input[0]);
        const uint8_t width = number % 3 == 2 ? 4 : number % 3 + 1, lost = app->replyLost;
        g_input.remove_prefix(1);
        g_written.clear();
        const int32_t value = ReadParam(*app, number, width, -12345);
        if (lost ? value != -12345 || !g_written.empty() : g_written != std::string{'p', char(number), char(width)})
            std::abort();
        uint32_t bits = 0;
        for (std::size_t i = 0; i < width && i < g_chunk.size(); ++i) bits |= uint32_t{uint8_t(g_chunk[i])} << (8 * i);
        const int32_t reply = width == 4 ? int32_t(bits) : width == 2 ? int16_t(bits) : int8_t(bits);
        if (!lost && (g_chunk.size() >= width ? value != reply || app->replyLost : value != -12345 || !app->replyLost))
            std::abort();
    }
    return 0;
}
