#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The flash of the board's ATmega32U4 below its 4 KiB boot section: where a
// firmware image may write.
constexpr uint32_t ApplicationAreaEnd = 0x7000;

// Checks a firmware image before the board is touched: Intel HEX records
// (":", count, address, type, data, checksum) with right checksums, known
// record types, every data byte inside the application area, at least one
// data byte and an end-of-file record. False with the reason in `reason` otherwise.
bool CheckHexImage(const char* image, std::size_t length, char* reason, std::size_t reasonSize);

// The largest file an image's text can be: far more than the HEX text of
// the application area.
constexpr std::size_t ImageFileLimit = 1u << 20;

// The whole of a regular file no larger than ImageFileLimit; false for
// anything else or when it cannot be read.
bool ReadImageFile(const char* path, std::string& image);
