#include "cli/TerminalControls.h"

#include <cstdio>

namespace {

// The box's OK button: a question is never answered Yes.
constexpr int AnswerOk = 1;

} // namespace

// No control here holds what a user typed.
std::size_t TerminalControls::Text(NativeHandle, int, char* buffer, std::size_t size)
{
    if (size > 0) buffer[0] = '\0';
    return 0;
}

int TerminalControls::ShowMessage(NativeHandle, const char* text, const char*, unsigned)
{
    std::fprintf(stderr, "vantorctl: %s\n", text);
    ++messages_;
    return AnswerOk;
}

std::string TerminalControls::TextOf(NativeHandle dialog, int id) const
{
    const auto found = texts_.find({dialog, id});
    return found == texts_.end() ? std::string() : found->second;
}
