#pragma once

#include <string>
#include <vector>

// One COM port as the system knows it.
struct ComPortEntry {
    unsigned number = 0;     // n of COMn
    std::string description; // what the system calls it
    std::string hardwareId;  // "USB\VID_2341&PID_8036..." for a USB device, else empty
};

// The system's COM ports, in any order.
std::vector<ComPortEntry> ListPorts();
