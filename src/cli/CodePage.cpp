#include "cli/CodePage.h"

#include <cstdint>

namespace {

// The characters of bytes 0x80..0x9F; the undefined ones stand for themselves.
constexpr char16_t High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t CharacterOf(unsigned char byte) { return byte >= 0x80 && byte < 0xA0 ? High[byte - 0x80] : byte; }

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The next character of UTF-8 text and its length, 0 for no UTF-8.
int NextCharacter(std::string_view text, std::size_t at, char32_t& c)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    const int length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                     : lead >= 0xF0 && lead < 0xF5 ? 4 : 0;
    if (length == 0 || at + static_cast<std::size_t>(length) > text.size()) return 0;
    c = length == 1 ? lead : lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + static_cast<std::size_t>(i)]);
        if ((next & 0xC0) != 0x80) return 0;
        c = (c << 6) | (next & 0x3F);
    }
    constexpr char32_t Smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < Smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return 0;
    return length;
}

} // namespace

std::string Utf8FromCodePage(std::string_view text)
{
    std::string out;
    for (const char byte : text) AppendUtf8(out, CharacterOf(static_cast<unsigned char>(byte)));
    return out;
}

bool CodePageFromUtf8(std::string_view text, std::string& converted, std::string& refused)
{
    converted.clear();
    for (std::size_t at = 0; at < text.size();) {
        char32_t c = 0;
        const int length = NextCharacter(text, at, c);
        if (length == 0) {
            refused = "is not UTF-8";
            return false;
        }
        int byte = c < 0x80 || (c >= 0xA0 && c < 0x100) ? static_cast<int>(c) : -1;
        for (int i = 0; i < 32 && byte < 0; ++i)
            if (High[i] == c) byte = 0x80 + i;
        if (byte < 0) {
            refused = "holds " + std::string(text.substr(at, static_cast<std::size_t>(length))) +
                      ", which code page 1252 of the Windows tool's files cannot hold";
            return false;
        }
        converted += static_cast<char>(byte);
        at += static_cast<std::size_t>(length);
    }
    return true;
}

int Utf8Length(std::string_view text, std::size_t at)
{
    char32_t c = 0;
    return NextCharacter(text, at, c);
}
