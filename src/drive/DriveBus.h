#pragma once

#include <cstdint>

// The master side of a SimpleMotion V2 bus on one of the drive's serial
// ports: a queue of sub-packets sent as one request with its check bytes,
// a byte-wise receiver for the reply, and the two transactions the program
// uses. Results are status bit sets, ORed as a transaction goes on. All on
// the caller's thread; a call blocks while its reply comes in.

constexpr uint32_t SmOk = 1;
constexpr uint32_t SmNoDevice = 2;   // no such bus, or not open
constexpr uint32_t SmBusError = 4;   // sending failed
constexpr uint32_t SmCommError = 8;  // time-out, bad check bytes, bad header, overlong payload
constexpr uint32_t SmParameterError = 16; // a sub-packet type that cannot be sent
constexpr uint32_t SmLengthError = 32;    // queue full, or fewer return values than asked

constexpr int DriveBuses = 10;
constexpr int BusPayloadSize = 120;

// Sub-packet types: the top two bits of its first byte.
constexpr uint8_t SubPacket30 = 0;  // 4 bytes, a 30-bit value
constexpr uint8_t SubPacket22 = 1;  // 3 bytes, a 22-bit value
constexpr uint8_t SubPacketAddr = 2; // 2 bytes: in a request the parameter the next values go to; in a reply a 14-bit value
constexpr uint8_t SubPacket6 = 3;   // 1 byte, a 6-bit value (replies only)

struct DriveBus {
    int8_t portSlot = -1;
    uint8_t open = 0;
    uint32_t receiveState = 0;
    int16_t expectedSize = -1;      // none after a reset
    int16_t receiveIndex = 0;
    uint8_t buffer[BusPayloadSize] = {}; // the request's sub-packets, then the reply's payload
    uint8_t receivedCommand = 0;
    uint8_t receivedAddress = 0;
    uint16_t crc = 0;
    uint16_t receivedCrcHigh = 0;
    uint8_t complete = 0;
    uint8_t overflow = 0;
    char portName[64] = {};
    int16_t queueLength = 0;
    int16_t readPosition = 0;
    // A reply was lost (time-out, or not shaped as its request): it may
    // still be on its way, so the next transaction starts on a quiet line
    // and its answer counts only when nothing follows it.
    uint8_t replyLost = 0;
    // While a transaction runs, when all its draining ends (a quarter of a
    // second after it began): a drive that keeps talking holds the window
    // thread no longer, however often the transaction drains.
    uint64_t drainUntil = 0;
};

// The bus on a port name ("COM<n>"): its handle 0..9, or -1 when none is
// free or the port cannot be opened.
int BusOpen(const char* name);
// 1, or 2 when the bus or its port is not open.
uint32_t BusClose(int bus);
uint32_t BusSetParameter(int bus, uint8_t node, uint16_t parameter, int32_t value);
// The value is written in every case: the drive's answer, 0 when it gave
// none, or what part of it came.
uint32_t BusReadParameter(int bus, uint8_t node, uint16_t parameter, int32_t& value);

// The receiver, one byte at a time: 0 while the packet is incomplete, 1
// when it is complete, 8 after an error (the record is then purged).
uint32_t BusParseByte(DriveBus& bus, uint8_t byte);
// The next return value of a complete reply: 1, or 32 with value 0 when
// the payload holds no further whole value.
uint32_t BusNextReturnValue(DriveBus& bus, int32_t& value);
