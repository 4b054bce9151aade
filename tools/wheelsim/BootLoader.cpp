#include "BootLoader.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr uint8_t Escape = 0x1b;

// Commands with a fixed answer.
struct FixedAnswer {
    uint8_t code;
    std::vector<uint8_t> reply;
};

const FixedAnswer FixedAnswers[] = {
    {'S', {'C', 'A', 'T', 'E', 'R', 'I', 'N'}}, // software id
    {'V', {'1', '0'}},                          // software version
    {'v', {'?'}},                               // no hardware version
    {'p', {'S'}},                               // a serial programmer
    {'a', {'Y'}},                               // the address increments by itself
    {'b', {'Y', 0, BootLoader::BlockSize}},     // block mode, size high byte first
    {'t', {0x44, 0}},                           // device codes: the ATmega32U4, end of list
    {'T', {'\r'}},                              // select device
    {'s', {0x87, 0x95, 0x1e}},                  // signature 1E 95 87, last byte first
    {'P', {'\r'}},                              // enter programming mode
    {'L', {'\r'}},                              // leave programming mode
    {'r', {0x2f}},                              // lock bits
    {'F', {0xff}},                              // low fuse
    {'N', {0xd8}},                              // high fuse
    {'Q', {0xcb}},                              // extended fuse
    {'E', {'\r'}},                              // exit the boot loader
};

bool IsMemory(uint8_t type) { return type == 'F' || type == 'E'; }

} // namespace

BootLoader::BootLoader() : flash_(FlashSize, 0xff), eeprom_(EepromSize, 0xff) {}

bool BootLoader::LoadFlash(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    std::vector<uint8_t> image(FlashSize + 1);
    const std::size_t read = std::fread(image.data(), 1, image.size(), file);
    const bool fits = read <= FlashSize && !std::ferror(file);
    std::fclose(file);
    if (fits) std::copy(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(read), flash_.begin());
    return fits;
}

bool BootLoader::SaveFlash(const std::string& path) const
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(flash_.data(), 1, FlashSize, file) == FlashSize;
    return std::fclose(file) == 0 && written;
}

uint32_t BootLoader::Version(uint32_t fallback) const
{
    uint32_t version = 0;
    for (std::size_t i = 4; i-- > 0;) version = (version << 8) | flash_[VersionAt + i];
    return version == 0xffffffffu ? fallback : version;
}

void BootLoader::Begin()
{
    pending_.clear();
    address_ = 0;
}

std::size_t BootLoader::CommandLength() const
{
    switch (pending_[0]) {
    case 'A': return 3;
    case 'T': return 2;
    case 'g': return 4;
    case 'B':
        if (pending_.size() < 4 || !IsMemory(pending_[3])) return 4;
        return 4u + (static_cast<std::size_t>(pending_[1]) << 8 | pending_[2]);
    default: return 1;
    }
}

bool BootLoader::Feed(uint8_t byte, std::vector<uint8_t>& reply, Avr109Command& command)
{
    pending_.push_back(byte);
    if (pending_.size() < CommandLength()) return false;
    command = Avr109Command{};
    command.code = pending_[0];
    reply = Carry(command);
    pending_.clear();
    return true;
}

std::vector<uint8_t> BootLoader::Carry(Avr109Command& command)
{
    switch (command.code) {
    case Escape: return {};
    case 'A':
        address_ = static_cast<uint32_t>(pending_[1]) << 8 | pending_[2];
        command.addressed = true;
        command.address = address_;
        return {'\r'};
    case 'e':
        for (std::size_t a = 0; a < ApplicationSize; ++a) flash_[a] = 0xff;
        return {'\r'};
    case 'B': return WriteBlock(command);
    case 'g': return ReadBlock(command);
    default: break;
    }
    for (const FixedAnswer& fixed : FixedAnswers)
        if (fixed.code == command.code) return fixed.reply;
    return {'?'};
}

// 'B' size-high size-low memory data...: flash from the word address, in
// the application area only; EEPROM from the byte address.
std::vector<uint8_t> BootLoader::WriteBlock(Avr109Command& command)
{
    command.memory = static_cast<char>(pending_[3]);
    if (!IsMemory(pending_[3])) return {'?'};
    const bool flash = pending_[3] == 'F';
    std::vector<uint8_t>& memory = flash ? flash_ : eeprom_;
    const std::size_t writable = flash ? ApplicationSize : EepromSize;
    const std::size_t start = flash ? std::size_t{address_} * 2 : address_;
    command.addressed = true;
    command.address = static_cast<uint32_t>(start);
    command.bytes = pending_.size() - 4;
    for (std::size_t i = 0; i < command.bytes; ++i) {
        if (start + i < writable) {
            memory[start + i] = pending_[4 + i];
        } else {
            ++command.refused;
        }
    }
    address_ += static_cast<uint32_t>(flash ? (command.bytes + 1) / 2 : command.bytes);
    return {'\r'};
}

// 'g' size-high size-low memory: the block from the current address
// (erased bytes past the memory's end).
std::vector<uint8_t> BootLoader::ReadBlock(Avr109Command& command)
{
    command.memory = static_cast<char>(pending_[3]);
    if (!IsMemory(pending_[3])) return {'?'};
    const bool flash = pending_[3] == 'F';
    const std::vector<uint8_t>& memory = flash ? flash_ : eeprom_;
    const std::size_t start = flash ? std::size_t{address_} * 2 : address_;
    command.addressed = true;
    command.address = static_cast<uint32_t>(start);
    command.bytes = static_cast<std::size_t>(pending_[1]) << 8 | pending_[2];
    std::vector<uint8_t> block;
    for (std::size_t i = 0; i < command.bytes; ++i) {
        block.push_back(start + i < memory.size() ? memory[start + i] : uint8_t{0xff});
    }
    address_ += static_cast<uint32_t>(flash ? (command.bytes + 1) / 2 : command.bytes);
    return block;
}
