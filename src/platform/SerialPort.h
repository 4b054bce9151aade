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
// no byte follows the last one within the interval (0: no such limit), or
// when the total (constant + multiplier per requested byte) has run out; a
// write has the same kind of total.
struct SerialTimeouts {
    uint32_t readInterval;
    uint32_t readTotalMultiplier;
    uint32_t readTotalConstant;
    uint32_t writeTotalMultiplier;
    uint32_t writeTotalConstant;
};

// The board's port: short time-outs; callers wait for their replies with
// SerialWaitInput.
constexpr SerialTimeouts BoardTimeouts{20, 1, 2, 1, 5};

// The device that COM <port> stands for. Windows: "\\.\COM<port>".
// POSIX, as Wine does it: the symlink "com<port>" in the directory named by
// VANTOR_DOSDEVICES (default ~/.vantor/dosdevices) when that link exists,
// else /dev/ttyS<port-1>.
std::string SerialDeviceName(uint8_t port);

// POSIX only, for a program told a device path by its user: the COM number
// that stands for the device. That is the number whose link (or, without
// one, whose /dev/ttyS device) is the same file; else the lowest number no
// link holds, which stands for the device in this process from now on.
// 0 when the device is not there or every number is taken.
uint8_t SerialPortOfDevice(const std::string& device);

// COM <port> as an outside program (the firmware programmer) is told it:
// "COM<port>" on Windows, the device SerialDeviceName gives elsewhere.
std::string ProgramPortName(uint8_t port);

// Opens the device for reading and writing, not shared with any other
// handle, and sets the line (baud, 8N1, DTR on, RTS off, no flow control)
// and the board's time-outs. InvalidSerialHandle when it cannot be opened.
SerialHandle SerialOpen(uint8_t port, uint32_t baud);

// The step at which an open by name failed.
enum class SerialOpenFault { None, Device, LineSettings, LineApply, Timeouts };

// Opens a port by its name: "COM<n>" (the device SerialDeviceName gives),
// or on POSIX a device path as it stands. The line is baud 8N1 without
// flow control, built from the mode text "baud=<b> data=8 parity=N stop=1"
// on Windows, with the given time-outs. On failure the handle is closed,
// fault says which step failed and InvalidSerialHandle is returned.
SerialHandle SerialOpenNamed(const char* name, uint32_t baud, const SerialTimeouts& timeouts, SerialOpenFault& fault);

// Closes the handle; true when the system reported success.
bool SerialClose(SerialHandle handle);

// One write call; the count of bytes the system accepted.
uint32_t SerialWrite(SerialHandle handle, const uint8_t* bytes, uint32_t count);

// One read call with the port's driver time-outs; the count of bytes stored.
uint32_t SerialReadOnce(SerialHandle handle, uint8_t* buffer, uint32_t count);

// Bytes in the receive queue; 0 when the call fails.
uint32_t SerialBytesWaiting(SerialHandle handle);

// Sleeps in the kernel until a byte is there to read or ms have passed,
// whatever the port's time-outs; true when a byte is there. A line that
// failed or hung up ends the wait at once with false. POSIX: poll on the
// descriptor. Windows: a one-byte ReadFile under time-outs that return with
// the first byte or after ms (ReadIntervalTimeout and
// ReadTotalTimeoutMultiplier MAXDWORD), the port's own time-outs set again
// afterwards; the byte it took is kept for the next read, counted by
// SerialBytesWaiting and dropped by a purge or a close.
bool SerialWaitInput(SerialHandle handle, uint32_t ms);

// Drops what is queued in both directions and aborts pending transfers.
void SerialPurge(SerialHandle handle);

// Drops the bytes received and not yet read; what was written still goes out.
void SerialDropInput(SerialHandle handle);

// On: DTR set, RTS set, break cleared. Off: DTR cleared, RTS cleared,
// break set. In that order.
void SerialSetLines(SerialHandle handle, bool on);
