#include "drive/DriveBus.h"

#include "drive/DriveSerial.h"
#include "drive/SmCrc.h"
#include "platform/Clock.h"

#include <cstring>

namespace {

constexpr uint8_t InstantCommand = 0x24;
constexpr uint8_t PayloadFormMask = 6;
constexpr uint8_t FormNone = 0;
constexpr uint8_t FormTwoBytes = 2;
constexpr uint8_t FormSizeByte = 4;

// Receive states.
constexpr uint32_t AwaitCommand = 0;
constexpr uint32_t AwaitAddress = 1;
constexpr uint32_t AwaitSize = 2;
constexpr uint32_t AwaitPayload = 3;
constexpr uint32_t AwaitCrcHigh = 4;
constexpr uint32_t AwaitCrcLow = 5;

// A purge drains the line until it is quiet, but never longer than this,
// nor all the purges of one transaction together: a drive that keeps
// talking must not hold the window thread.
constexpr uint64_t PurgeLimitMs = 250;

constexpr uint32_t InProgress = 0;

DriveBus g_buses[DriveBuses];

DriveBus* OpenBus(int bus)
{
    if (bus < 0 || bus >= DriveBuses || !g_buses[bus].open) return nullptr;
    return &g_buses[bus];
}

void ResetReceiver(DriveBus& b)
{
    b.receiveState = AwaitCommand;
    b.expectedSize = -1;
    b.receiveIndex = 0;
    b.queueLength = 0;
    b.readPosition = 0;
    b.crc = 0;
    b.complete = 0;
    b.overflow = 0;
}

// Reads and drops bytes until a read time-out passes without one, for
// PurgeLimitMs at most, or until the transaction's drain time is up; true
// when any came.
bool Drain(DriveBus& b)
{
    const uint64_t end = b.drainUntil ? b.drainUntil : ActiveClock().Milliseconds() + PurgeLimitMs;
    uint8_t byte = 0;
    bool any = false;
    while (drive::SerialReadByte(b.portSlot, byte)) {
        any = true;
        if (ActiveClock().Milliseconds() >= end) break;
    }
    return any;
}

uint32_t Purge(DriveBus& b)
{
    Drain(b);
    ResetReceiver(b);
    return SmCommError;
}

int LengthOfType(uint8_t type)
{
    static constexpr int lengths[] = {4, 3, 2, 1};
    return lengths[type & 3];
}

uint32_t Append(DriveBus& b, uint8_t type, int32_t value)
{
    uint32_t bits = 0;
    switch (type) {
    case SubPacket30:
        bits = static_cast<uint32_t>(value) & 0x3FFFFFFFu;
        break;
    case SubPacket22:
        bits = (static_cast<uint32_t>(value) & 0x3FFFFFu) | 0x400000u;
        break;
    case SubPacketAddr:
        bits = (static_cast<uint32_t>(value) & 0x3FFFu) | 0x8000u;
        break;
    default:
        return SmParameterError;
    }
    const int length = LengthOfType(type);
    if (b.queueLength + length > BusPayloadSize) {
        b.overflow = 1;
        return SmLengthError;
    }
    for (int i = length - 1; i >= 0; --i) b.buffer[b.queueLength++] = static_cast<uint8_t>(bits >> (8 * i));
    return SmOk;
}

bool Send(DriveBus& b, uint8_t node)
{
    uint16_t crc = 0;
    auto queue = [&](uint8_t byte) {
        crc = SmCrcUpdate(crc, byte);
        return drive::SerialQueueByte(b.portSlot, byte);
    };
    bool queued = queue(InstantCommand) && queue(static_cast<uint8_t>(b.queueLength)) && queue(node);
    for (int i = 0; queued && i < b.queueLength; ++i) queued = queue(b.buffer[i]);
    const auto high = static_cast<uint8_t>(crc >> 8);
    const auto low = static_cast<uint8_t>(crc & 0xFF);
    queued = queued && drive::SerialQueueByte(b.portSlot, high) && drive::SerialQueueByte(b.portSlot, low);
    return queued && drive::SerialFlush(b.portSlot);
}

uint32_t Exchange(DriveBus& b, uint8_t node)
{
    // A reply lost before may come yet: the line is quiet before this request goes.
    const bool afterLoss = b.replyLost != 0;
    if (afterLoss && !b.overflow) Drain(b);
    if (!b.overflow && !Send(b, node)) {
        // What was queued is gone with the failed request: sending it again
        // in front of the next one would repeat writes nobody asked for.
        ResetReceiver(b);
        return SmBusError;
    }
    b.queueLength = 0;
    b.readPosition = 0;
    if (!b.overflow) {
        uint32_t status = InProgress;
        while (status == InProgress) {
            uint8_t byte = 0;
            if (!drive::SerialReadByte(b.portSlot, byte)) {
                ResetReceiver(b);
                b.replyLost = 1;
                return SmCommError;
            }
            status = BusParseByte(b, byte);
        }
        if (status != SmOk) return status;
        // The lost reply and this answer look alike when one comes right
        // after the other: after a loss an answer counts only when the line
        // stays quiet behind it.
        if (afterLoss && Drain(b)) {
            ResetReceiver(b);
            return SmCommError;
        }
        b.replyLost = 0;
    }
    b.overflow = 0;
    return SmOk;
}

uint32_t Execute(DriveBus& b, uint8_t node)
{
    b.drainUntil = ActiveClock().Milliseconds() + PurgeLimitMs;
    const uint32_t status = Exchange(b, node);
    b.drainUntil = 0;
    return status;
}

} // namespace

int BusOpen(const char* name)
{
    int bus = 0;
    while (bus < DriveBuses && g_buses[bus].open) ++bus;
    if (bus == DriveBuses) return -1;
    const int slot = drive::SerialOpen(name);
    if (slot < 0) return -1;
    DriveBus& b = g_buses[bus];
    ResetReceiver(b);
    b.replyLost = 0;
    b.portSlot = static_cast<int8_t>(slot);
    std::strncpy(b.portName, name, sizeof b.portName - 1);
    b.portName[sizeof b.portName - 1] = '\0';
    b.open = 1;
    return bus;
}

uint32_t BusClose(int bus)
{
    DriveBus* b = OpenBus(bus);
    if (!b || !drive::SerialIsOpen(b->portSlot)) return SmNoDevice;
    drive::SerialClose(b->portSlot);
    b->open = 0;
    return SmOk;
}

uint32_t BusParseByte(DriveBus& b, uint8_t byte)
{
    b.complete = 0;
    switch (b.receiveState) {
    case AwaitCommand:
        b.crc = SmCrcUpdate(b.crc, byte);
        b.receivedCommand = byte;
        switch (byte & PayloadFormMask) {
        case FormNone:
            b.expectedSize = 0;
            b.receiveState = AwaitAddress;
            break;
        case FormTwoBytes:
            b.expectedSize = 2;
            b.receiveState = AwaitAddress;
            break;
        case FormSizeByte:
            b.receiveState = AwaitSize;
            break;
        default:
            return Purge(b);
        }
        return InProgress;
    case AwaitSize:
        b.crc = SmCrcUpdate(b.crc, byte);
        b.expectedSize = byte;
        b.receiveState = AwaitAddress;
        return InProgress;
    case AwaitAddress:
        b.crc = SmCrcUpdate(b.crc, byte);
        b.receivedAddress = byte;
        b.receiveState = b.expectedSize > b.receiveIndex ? AwaitPayload : AwaitCrcHigh;
        return InProgress;
    case AwaitPayload:
        b.crc = SmCrcUpdate(b.crc, byte);
        if (b.receiveIndex >= BusPayloadSize) return Purge(b);
        b.buffer[b.receiveIndex++] = byte;
        if (b.receiveIndex >= b.expectedSize) b.receiveState = AwaitCrcHigh;
        return InProgress;
    case AwaitCrcHigh:
        b.receivedCrcHigh = byte;
        b.receiveState = AwaitCrcLow;
        return InProgress;
    default:
        if (((b.receivedCrcHigh << 8) | byte) != b.crc) return Purge(b);
        b.complete = 1;
        b.receiveIndex = 0;
        b.crc = 0;
        b.receiveState = AwaitCommand;
        return SmOk;
    }
}

uint32_t BusNextReturnValue(DriveBus& b, int32_t& value)
{
    value = 0;
    if (b.readPosition < 0 || b.readPosition >= b.expectedSize) return SmLengthError;
    const int length = LengthOfType(static_cast<uint8_t>(b.buffer[b.readPosition] >> 6));
    // A value cut off by the end of the payload is as missing as one never sent.
    if (b.readPosition + length > b.expectedSize || b.readPosition + length > BusPayloadSize) return SmLengthError;
    uint32_t bits = 0;
    for (int i = 0; i < length; ++i) bits = (bits << 8) | b.buffer[b.readPosition + i];
    const int width = 8 * length - 2;
    bits &= (1u << width) - 1;
    const uint32_t sign = 1u << (width - 1);
    value = static_cast<int32_t>((bits ^ sign) - sign);
    b.readPosition = static_cast<int16_t>(b.readPosition + length);
    return SmOk;
}

namespace {

// The return values of a reply, one per sub-packet of its request; the last
// goes to value. A reply with more or fewer answers another request (a
// read's four values are no write's two), and its own may be on its way.
uint32_t TakeReturnValues(DriveBus& b, int count, int32_t& value)
{
    uint32_t status = 0;
    for (int i = 0; i < count; ++i) status |= BusNextReturnValue(b, value);
    if (status != SmOk || b.readPosition != b.expectedSize) {
        b.replyLost = 1;
        status |= SmLengthError;
    }
    return status;
}

} // namespace

uint32_t BusSetParameter(int bus, uint8_t node, uint16_t parameter, int32_t value)
{
    DriveBus* b = OpenBus(bus);
    if (!b) return SmNoDevice;
    uint32_t status = Append(*b, SubPacketAddr, parameter) | Append(*b, SubPacket30, value);
    status |= Execute(*b, node);
    int32_t answer = 0;
    return status | TakeReturnValues(*b, 2, answer);
}

uint32_t BusReadParameter(int bus, uint8_t node, uint16_t parameter, int32_t& value)
{
    value = 0;
    DriveBus* b = OpenBus(bus);
    if (!b) return SmNoDevice;
    // 0 to parameter 10, then the wanted number to parameter 9: the drive
    // answers the second write with that parameter's value.
    uint32_t status = Append(*b, SubPacketAddr, 10) | Append(*b, SubPacket22, 0) | Append(*b, SubPacketAddr, 9) |
                      Append(*b, SubPacket22, static_cast<int16_t>(parameter));
    status |= Execute(*b, node);
    return status | TakeReturnValues(*b, 4, value);
}
