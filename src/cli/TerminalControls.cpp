#include "cli/TerminalControls.h"

#include "platform/MessageBoxStyle.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int AnswerOk = 1;

} // namespace

std::size_t TerminalControls::Text(NativeHandle dialog, int id, char* buffer, std::size_t size)
{
    if (size == 0) return 0;
    const std::string text = TextOf(dialog, id);
    const std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return n;
}

int TerminalControls::ShowMessage(NativeHandle, const char* text, const char*, unsigned style)
{
    std::fprintf(stderr, "vantorctl: %s\n", text);
    ++messages_;
    return (style & MessageYesNo) != 0 ? MessageAnswerNo : AnswerOk;
}

std::string TerminalControls::TextOf(NativeHandle dialog, int id) const
{
    const auto found = texts_.find({dialog, id});
    return found == texts_.end() ? std::string() : found->second;
}
