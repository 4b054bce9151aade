#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// A whole number in C notation (decimal, 0x hex, 0 octal) with nothing after it.
bool ParseNumber(const char* text, long long& out, int base = 0);
// The same, within lowest..highest.
bool ParseInt(const char* text, int& out, long long lowest, long long highest);
// Comma-separated numbers within lowest..highest; at least one.
bool ParseNumberList(const char* text, std::vector<long long>& out, long long lowest, long long highest);

enum class OptionTaken { Yes, BadValue, Unknown };

// Walks the options after the program name. A name for which isSwitch is
// true stands alone (isSwitch sets it); any other takes the next argument
// as its value and goes to take. False with a message in error at the first
// missing value, bad value or unknown option.
bool WalkOptions(int argc, char** argv, const std::function<bool(const std::string&)>& isSwitch,
                 const std::function<OptionTaken(const std::string&, const char*)>& take, std::string& error);

// A log of one JSON object per line, each flushed as it ends.
class JsonLines {
public:
    JsonLines() = default;
    JsonLines(const JsonLines&) = delete;
    JsonLines& operator=(const JsonLines&) = delete;
    ~JsonLines();

    bool Open(const std::string& path);
    // Starts a line with "t_ms"; null when no log is open.
    std::FILE* Begin(double ms);
    // Writes "bytes":[...] into the line.
    void Bytes(const std::vector<uint8_t>& bytes);
    // Writes "name":"text" into the line; bytes outside printable ASCII,
    // quotes and backslashes are escaped.
    void Text(const char* name, const std::string& text);
    // Ends the line.
    void End();
    // A line of its own: {"t_ms":..,"event":"..","bytes":[..]}.
    void Event(double ms, const char* event, const std::vector<uint8_t>& bytes);
    // One with text fields: {"t_ms":..,"event":"..","name":"text",...}.
    void Event(double ms, const char* event, std::initializer_list<std::pair<const char*, std::string>> fields);

private:
    std::FILE* file_ = nullptr;
};
