#include "cli/TerminalControls.h"

#include <cstdio>
#include <cstring>

namespace {

// The box's OK button: a question is never answered Yes.
constexpr int AnswerOk = 1;

// The Windows tool's own words for a message box, as a terminal tells them.
const char* TerminalWords(const char* text)
{
    static const char* const words[][2] = {
        {"Could find any board with a bootloader",
         "no boot loader showed up: listComPorts lists no new port after the board's reset"},
        {"Could not execute listComPorts.exe", "cannot run listComPorts (it belongs beside vantorctl or in ../libexec/vantor)"},
    };
    for (const auto& [box, terminal] : words)
        if (std::strcmp(text, box) == 0) return terminal;
    return text;
}

} // namespace

// No control here holds what a user typed.
std::size_t TerminalControls::Text(NativeHandle, int, char* buffer, std::size_t size)
{
    if (size > 0) buffer[0] = '\0';
    return 0;
}

int TerminalControls::ShowMessage(NativeHandle, const char* text, const char*, unsigned)
{
    std::fprintf(stderr, "vantorctl: %s\n", TerminalWords(text));
    ++messages_;
    return AnswerOk;
}

std::string TerminalControls::TextOf(NativeHandle dialog, int id) const
{
    const auto found = texts_.find({dialog, id});
    return found == texts_.end() ? std::string() : found->second;
}
