#include "platform/ChildProcess.h"

namespace {

// One argument as the C runtime's splitter reads it back unchanged: inside
// quotes, a '"' is escaped with a backslash and the backslashes in front of
// a '"' (or of the closing quote) are doubled; others stand as they are.
void AppendQuoted(std::string& line, const std::string& argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) {
        line += argument;
        return;
    }
    line += '"';
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        line.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        line += c;
    }
    line.append(2 * backslashes, '\\');
    line += '"';
}

} // namespace

std::string WindowsCommandLine(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty()) line += ' ';
        AppendQuoted(line, argument);
    }
    return line;
}
