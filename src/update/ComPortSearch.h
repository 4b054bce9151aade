#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// COM ports by the port lister ("Tools\listComPorts.exe"), whose output
// lines each hold "COM<n>" and, behind it, the USB hardware id with
// "VID_xxxx" and "PID_xxxx". A lister that cannot be started shows
// "Could not execute listComPorts.exe" and lists nothing.

// The COM port whose line carries these vendor and product ids, or 0.
uint8_t FindComPortFromIds(uint16_t vendorId, uint16_t productId);

// Every COM port whose line carries these ids, in the lister's order, for a
// caller that tries them in turn (two devices can carry the same ids).
std::vector<uint8_t> ComPortsFromIds(uint16_t vendorId, uint16_t productId);

// The listed port numbers in the lister's order, at most 16; the count.
constexpr std::size_t MaxListedPorts = 16;
std::size_t ListComPorts(uint8_t (&ports)[MaxListedPorts]);
