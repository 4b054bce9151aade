#pragma once

#include <cstdint>

// The drive's serial ports: ten slots addressed by their index, each
// opened at 460800 8N1 with a 128-byte transmit buffer that collects a
// whole packet for one write, and one-byte reads that wait at most the
// read time-out. Apart from the board's ComPort. Messages go to the
// standard output (or to the teller put in place); callers see -1 or false
// and report for themselves.
namespace drive {

// Tells an open's fault ("unable to open comport\n" ...): standard output
// unless a program that owns its output puts its own in place. Returns the
// one it replaces; nullptr puts standard output back.
using FaultTeller = void (*)(const char* text);
FaultTeller UseFaultTeller(FaultTeller teller);

constexpr int SerialSlots = 10;
constexpr int TransmitBufferSize = 128;

// The wait of each one-byte read, for the ports opened after the change;
// 500 ms until the drive configuration sets 200.
void SetReadTimeout(uint16_t milliseconds);
uint16_t ReadTimeout();

// Opens "COM<n>" (or, where the system has them, a "/dev/tty..." path) in
// the first free slot: its index, or -1.
int SerialOpen(const char* name);
bool SerialClose(int slot);
bool SerialIsOpen(int slot);
// False when the slot is not usable or its buffer is full (the byte is lost).
bool SerialQueueByte(int slot, uint8_t byte);
// One write of the whole buffer, which is empty afterwards whatever
// happened; true only when every byte went out.
bool SerialFlush(int slot);
// True only when a byte came within the read time-out.
bool SerialReadByte(int slot, uint8_t& byte);

} // namespace drive
