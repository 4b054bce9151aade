#pragma once

#include <cstdint>

// The SimpleMotion V2 packet check: the Modbus table method over every
// byte from the command id to the end of the payload, starting from 0.
// The value is CRC-16/ARC with its bytes swapped; its high byte goes on
// the wire first.
uint16_t SmCrcUpdate(uint16_t crc, uint8_t byte);
