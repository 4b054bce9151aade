#include "drive/SmCrc.h"

#include <array>

namespace {

// The two 256-entry tables of the Modbus method, made from the reflected
// polynomial 0xA001 (0x8005 taken least significant bit first): TableHi
// holds the low byte of each entry of the reflected table, TableLo its
// high byte.
struct ModbusTables {
    std::array<uint8_t, 256> hi{};
    std::array<uint8_t, 256> lo{};
};

constexpr ModbusTables MakeTables()
{
    ModbusTables t;
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xA001u : crc >> 1;
        t.hi[i] = static_cast<uint8_t>(crc & 0xFF);
        t.lo[i] = static_cast<uint8_t>(crc >> 8);
    }
    return t;
}

constexpr ModbusTables Tables = MakeTables();
static_assert(Tables.hi[0] == 0x00 && Tables.hi[1] == 0xC1 && Tables.hi[2] == 0x81 && Tables.hi[3] == 0x40);
static_assert(Tables.lo[0] == 0x00 && Tables.lo[1] == 0xC0 && Tables.lo[2] == 0xC1 && Tables.lo[3] == 0x01);

} // namespace

uint16_t SmCrcUpdate(uint16_t crc, uint8_t byte)
{
    const unsigned index = (crc >> 8) ^ byte;
    return static_cast<uint16_t>(((Tables.hi[index] ^ (crc & 0xFF)) << 8) | Tables.lo[index]);
}
