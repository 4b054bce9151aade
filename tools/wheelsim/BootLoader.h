#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One AVR109 command as the boot loader took it, for the log.
struct Avr109Command {
    uint8_t code = 0;
    char memory = 0;         // 'F' or 'E' for a block write or read
    bool addressed = false;  // address means something: 'A', 'B', 'g'
    uint32_t address = 0;    // 'A': the value sent; 'B'/'g': the byte address the block starts at
    std::size_t bytes = 0;   // 'B'/'g': the block's length
    std::size_t refused = 0; // 'B': bytes outside the writable area, not written
};

// The ATmega32U4's flash and EEPROM with a Caterina-style boot loader that
// speaks AVR109 to them. The flash outlives the boot loader's sessions: the
// board runs the image it holds.
class BootLoader {
public:
    static constexpr std::size_t FlashSize = 0x8000;
    static constexpr std::size_t ApplicationSize = 0x7000; // below the 4 KiB boot section
    static constexpr std::size_t EepromSize = 1024;
    static constexpr std::size_t VersionAt = ApplicationSize - 4; // 4 bytes, little-endian
    static constexpr std::size_t BlockSize = 128;

    BootLoader();

    // Loads a raw flash image (at most 32 KiB; the rest stays erased).
    bool LoadFlash(const std::string& path);
    // Writes the 32 KiB raw flash image.
    bool SaveFlash(const std::string& path) const;
    // The firmware version the image carries, or fallback where it is erased.
    uint32_t Version(uint32_t fallback) const;

    // A new session: no command under way, address 0.
    void Begin();
    // Takes one byte; true when it completed a command, carried out, with
    // its answer in reply (none for ESC) and its record in command.
    bool Feed(uint8_t byte, std::vector<uint8_t>& reply, Avr109Command& command);

private:
    std::size_t CommandLength() const;
    std::vector<uint8_t> Carry(Avr109Command& command);
    std::vector<uint8_t> WriteBlock(Avr109Command& command);
    std::vector<uint8_t> ReadBlock(Avr109Command& command);

    std::vector<uint8_t> flash_;
    std::vector<uint8_t> eeprom_;
    std::vector<uint8_t> pending_;
    uint32_t address_ = 0; // as 'A' sets it: words in flash, bytes in EEPROM
};
