// Fuzzes the drive bus's receiver: any bytes from the line, fed one at a
// time, and the return values of every packet that completes, must stay
// inside the record's buffer and leave it in a state the next packet can
// start from.
#include "drive/DriveBus.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    DriveBus bus; // no port: a purge has nothing to drain
    for (std::size_t i = 0; i < size; ++i) {
        const uint32_t status = BusParseByte(bus, data[i]);
        if (bus.receiveState > 5 || bus.receiveIndex < 0 || bus.receiveIndex > BusPayloadSize) std::abort();
        if (status != 1) continue;
        int32_t value = 0;
        int values = 0;
        while (BusNextReturnValue(bus, value) == 1) {
            if (value < -(1 << 29) || value >= (1 << 29) || ++values > BusPayloadSize) std::abort();
        }
        if (value != 0) std::abort();
        bus.readPosition = 0;
    }
    return 0;
}
