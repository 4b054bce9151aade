#include "update/HexImage.h"

#include <cstdio>
#include <filesystem>
#include <string_view>
#include <vector>

namespace {

enum RecordType : uint8_t { Data = 0, EndOfFile = 1, ExtendedSegment = 2, StartSegment = 3, ExtendedLinear = 4,
                            StartLinear = 5 };

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The bytes of a record line after its ':'; false when it is no even run
// of hexadecimal digits.
bool RecordBytes(std::string_view digits, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    if (digits.size() % 2 != 0) return false;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const int high = HexDigit(digits[i]), low = HexDigit(digits[i + 1]);
        if (high < 0 || low < 0) return false;
        bytes.push_back(static_cast<uint8_t>(high << 4 | low));
    }
    return true;
}

template <typename... Args>
bool Refuse(char* reason, std::size_t size, const char* format, Args... args)
{
    if constexpr (sizeof...(Args) == 0) std::snprintf(reason, size, "%s", format);
    else std::snprintf(reason, size, format, args...);
    return false;
}

} // namespace

bool CheckHexImage(const char* image, std::size_t length, char* reason, std::size_t reasonSize)
{
    const std::string_view text(image, length);
    uint64_t base = 0; // 64 bits: a linear base of 0xFFFF0000 plus an offset must not wrap to a low address
    std::size_t dataBytes = 0;
    std::vector<uint8_t> bytes;
    int number = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        if (line[0] != ':' || !RecordBytes(line.substr(1), bytes) || bytes.size() < 5 || bytes[0] + 5u != bytes.size())
            return Refuse(reason, reasonSize, "line %d is no HEX record", number);
        uint8_t sum = 0;
        for (const uint8_t b : bytes) sum = static_cast<uint8_t>(sum + b);
        if (sum != 0) return Refuse(reason, reasonSize, "bad checksum in line %d", number);
        const uint64_t offset = static_cast<uint64_t>(bytes[1] << 8 | bytes[2]);
        const uint8_t* data = bytes.data() + 4;
        switch (bytes[3]) {
        case Data:
            if (base + offset + bytes[0] > ApplicationAreaEnd)
                return Refuse(reason, reasonSize, "line %d writes 0x%llX to 0x%llX, beyond the application area", number,
                              static_cast<unsigned long long>(base + offset),
                              static_cast<unsigned long long>(base + offset + bytes[0] - 1));
            dataBytes += bytes[0];
            break;
        case EndOfFile:
            // An image of nothing but its end would restart the board for nothing.
            return dataBytes > 0 || Refuse(reason, reasonSize, "no data to write");
        case ExtendedSegment:
        case ExtendedLinear:
            if (bytes[0] != 2) return Refuse(reason, reasonSize, "line %d is no HEX record", number);
            base = static_cast<uint64_t>(data[0] << 8 | data[1]) << (bytes[3] == ExtendedSegment ? 4 : 16);
            break;
        case StartSegment:
        case StartLinear:
            break;
        default:
            return Refuse(reason, reasonSize, "line %d has the unknown record type %d", number, bytes[3]);
        }
    }
    return Refuse(reason, reasonSize, "no end-of-file record");
}

bool ReadImageFile(const char* path, std::string& image)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    image.assign(ImageFileLimit + 1, '\0');
    image.resize(std::fread(image.data(), 1, image.size(), file));
    const bool read = !std::ferror(file) && image.size() <= ImageFileLimit;
    std::fclose(file);
    return read;
}
