#include "drive/DriveSerial.h"

#include "platform/SerialPort.h"

#include <cstdio>
#include <cstring>

namespace drive {
namespace {

constexpr uint8_t KindComPort = 1;
constexpr uint32_t LineBaud = 460800;
constexpr uint32_t WriteTotalMultiplier = 50;
constexpr uint32_t WriteTotalConstant = 50;

struct SerialPortSlot {
    uint8_t kind = 0;
    uint8_t open = 0;
    SerialHandle handle = InvalidSerialHandle;
    uint8_t transmit[TransmitBufferSize] = {};
    int32_t transmitCount = 0;
};

SerialPortSlot g_slots[SerialSlots];
uint16_t g_readTimeout = 500;

SerialPortSlot* Usable(int slot)
{
    if (slot < 0 || slot >= SerialSlots) return nullptr;
    SerialPortSlot& s = g_slots[slot];
    return s.open && s.kind == KindComPort ? &s : nullptr;
}

const char* FaultMessage(SerialOpenFault fault)
{
    switch (fault) {
    case SerialOpenFault::LineSettings:
        return "unable to set comport dcb settings\n";
    case SerialOpenFault::LineApply:
        return "unable to set comport cfg settings\n";
    case SerialOpenFault::Timeouts:
        return "unable to set comport time-out settings\n";
    default:
        return "unable to open comport\n";
    }
}

void TellOnStandardOutput(const char* text) { std::fputs(text, stdout); }

FaultTeller g_teller = TellOnStandardOutput;

} // namespace

FaultTeller UseFaultTeller(FaultTeller teller)
{
    const FaultTeller previous = g_teller;
    g_teller = teller ? teller : TellOnStandardOutput;
    return previous;
}

void SetReadTimeout(uint16_t milliseconds) { g_readTimeout = milliseconds; }

uint16_t ReadTimeout() { return g_readTimeout; }

int SerialOpen(const char* name)
{
    int slot = 0;
    while (slot < SerialSlots && g_slots[slot].open) ++slot;
    if (slot == SerialSlots) return -1;
    if (std::strncmp(name, "COM", 3) != 0 && std::strncmp(name, "/dev/tty", 8) != 0) return -1;
    const SerialTimeouts timeouts{0, 0, g_readTimeout, WriteTotalMultiplier, WriteTotalConstant};
    SerialOpenFault fault = SerialOpenFault::None;
    const SerialHandle handle = SerialOpenNamed(name, LineBaud, timeouts, fault);
    if (handle == InvalidSerialHandle) {
        g_teller(FaultMessage(fault));
        return -1;
    }
    // What the line held before is no answer to anything this bus asks.
    SerialDropInput(handle);
    SerialPortSlot& s = g_slots[slot];
    s.handle = handle;
    s.kind = KindComPort;
    s.open = 1;
    s.transmitCount = 0;
    return slot;
}

bool SerialClose(int slot)
{
    SerialPortSlot* s = Usable(slot);
    if (!s) return false;
    ::SerialClose(s->handle);
    s->handle = InvalidSerialHandle;
    s->open = 0;
    return true;
}

bool SerialIsOpen(int slot) { return slot >= 0 && slot < SerialSlots && g_slots[slot].open; }

bool SerialQueueByte(int slot, uint8_t byte)
{
    SerialPortSlot* s = Usable(slot);
    if (!s || s->transmitCount >= TransmitBufferSize) return false;
    s->transmit[s->transmitCount++] = byte;
    return true;
}

bool SerialFlush(int slot)
{
    SerialPortSlot* s = Usable(slot);
    if (!s) return false;
    const auto count = static_cast<uint32_t>(s->transmitCount);
    s->transmitCount = 0;
    return SerialWrite(s->handle, s->transmit, count) == count;
}

bool SerialReadByte(int slot, uint8_t& byte)
{
    SerialPortSlot* s = Usable(slot);
    return s && SerialReadOnce(s->handle, &byte, 1) == 1;
}

} // namespace drive
