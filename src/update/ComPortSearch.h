#pragma once

#include <cstdint>

// The COM port whose USB device carries these vendor and product ids, or 0.
uint8_t FindComPortFromIds(uint16_t vendorId, uint16_t productId);
