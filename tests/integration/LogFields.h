#pragma once

#include <cstdlib>
#include <string>
#include <vector>

// The integer after "key": in one JSON line of the simulator's log, or -1.
inline long LogField(const std::string& line, const std::string& key)
{
    const std::string tag = "\"" + key + "\":";
    const std::size_t at = line.find(tag);
    return at == std::string::npos ? -1 : std::strtol(line.c_str() + at + tag.size(), nullptr, 10);
}

// The byte list of one log line, as text: "80,8,4,0,0,3,132".
inline std::string LogBytes(const std::string& line)
{
    const std::size_t at = line.find("\"bytes\":[");
    if (at == std::string::npos) return {};
    const std::size_t from = at + 9;
    return line.substr(from, line.find(']', from) - from);
}

// The bytes of every line that contains the text.
inline std::vector<std::string> LogBytesOf(const std::vector<std::string>& lines)
{
    std::vector<std::string> bytes;
    for (const std::string& line : lines) bytes.push_back(LogBytes(line));
    return bytes;
}
