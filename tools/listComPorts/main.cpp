// listComPorts: prints the COM ports, one a line, in the order of their
// numbers: "COMn - description - hardware id", the id (with VID_xxxx and
// PID_xxxx) only for USB devices. Ports above COM255 are left out: Vantor
// keeps a port number in a byte.
#include "PortList.h"

#include <algorithm>
#include <cstdio>

int main()
{
    std::vector<ComPortEntry> ports = ListPorts();
    std::stable_sort(ports.begin(), ports.end(),
                     [](const ComPortEntry& a, const ComPortEntry& b) { return a.number < b.number; });
    for (const ComPortEntry& port : ports) {
        if (port.number > 255) continue;
        std::printf("COM%u", port.number);
        if (!port.description.empty()) std::printf(" - %s", port.description.c_str());
        if (!port.hardwareId.empty()) std::printf(" - %s", port.hardwareId.c_str());
        std::printf("\n");
    }
    return 0;
}
