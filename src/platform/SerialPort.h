#pragma once

#include <cstdint>
#include <string>

// The system side of a serial port: one open device and the single system
// calls the board's ComPort is made of. Windows: CreateFileA on
// "\\.\COM<n>" with the board's DCB and COMMTIMEOUTS. POSIX: the device
// that COM <n> names (SerialDeviceName), raw 8N1 termios, DTR on, RTS off,
// and reads and writes that keep the same driver time-outs.
using SerialHandle = intptr_t;
constexpr SerialHandle InvalidSerialHandle = -1;

// Driver time-outs of an open port, in milliseconds: a read gives up when
// no byte follows the last one within the interval, or when the total
// (constant + multiplier per requested byte) has run out; a write has the
// same kind of total.
constexpr uint32_t SerialReadInterval = 20;
constexpr uint32_t SerialReadTotalMultiplier = 1;
constexpr uint32_t SerialReadTotalConstant = 2;
constexpr uint32_t SerialWriteTotalMultiplier = 1;
constexpr uint32_t SerialWriteTotalConstant = 5;

// The device that COM <port> stands for. Windows: "\\.\COM<port>".
// POSIX, as Wine does it: the symlink "com<port>" in the directory named by
// VANTOR_DOSDEVICES (default ~/.vantor/dosdevices) when that link exists,
// else /dev/ttyS<port-1>.
std::string SerialDeviceName(uint8_t port);

// Opens the device for reading and writing, not shared with any other
// handle, and sets the line (baud, 8N1, DTR on, RTS off, no flow control)
// and the time-outs above. InvalidSerialHandle when it cannot be opened.
SerialHandle SerialOpen(uint8_t port, uint32_t baud);

// Closes the handle; true when the system reported success.
bool SerialClose(SerialHandle handle);

// One write call; the count of bytes the system accepted.
uint32_t SerialWrite(SerialHandle handle, const uint8_t* bytes, uint32_t count);

// One read call with the driver time-outs; the count of bytes stored.
uint32_t SerialReadOnce(SerialHandle handle, uint8_t* buffer, uint32_t count);

// Bytes in the receive queue; 0 when the call fails.
uint32_t SerialBytesWaiting(SerialHandle handle);

// Drops what is queued in both directions and aborts pending transfers.
void SerialPurge(SerialHandle handle);

// Drops the bytes received and not yet read; what was written still goes out.
void SerialDropInput(SerialHandle handle);

// On: DTR set, RTS set, break cleared. Off: DTR cleared, RTS cleared,
// break set. In that order.
void SerialSetLines(SerialHandle handle, bool on);
