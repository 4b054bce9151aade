#include "SimText.h"

#include <cerrno>
#include <cstdlib>

bool ParseNumber(const char* text, long long& out, int base)
{
    if (!text || !*text) return false;
    errno = 0;
    char* end = nullptr;
    out = std::strtoll(text, &end, base);
    return errno == 0 && end && *end == '\0';
}

bool ParseInt(const char* text, int& out, long long lowest, long long highest)
{
    long long v = 0;
    if (!ParseNumber(text, v) || v < lowest || v > highest) return false;
    out = static_cast<int>(v);
    return true;
}

bool ParseNumberList(const char* text, std::vector<long long>& out, long long lowest, long long highest)
{
    out.clear();
    const std::string list = text ? text : "";
    std::size_t pos = 0;
    while (pos <= list.size()) {
        const std::size_t comma = list.find(',', pos);
        const std::string item = list.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
        long long v = 0;
        if (!ParseNumber(item.c_str(), v) || v < lowest || v > highest) return false;
        out.push_back(v);
        if (comma == std::string::npos) break;
        pos = comma + 1;
    }
    return !out.empty();
}

bool WalkOptions(int argc, char** argv, const std::function<bool(const std::string&)>& isSwitch,
                 const std::function<OptionTaken(const std::string&, const char*)>& take, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (isSwitch(name)) continue;
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (!value) {
            error = "missing value after " + name;
            return false;
        }
        ++i;
        const OptionTaken taken = take(name, value);
        if (taken == OptionTaken::Unknown) {
            error = "unknown option " + name;
            return false;
        }
        if (taken == OptionTaken::BadValue) {
            error = "bad value for " + name + ": " + value;
            return false;
        }
    }
    return true;
}

JsonLines::~JsonLines()
{
    if (file_) std::fclose(file_);
}

bool JsonLines::Open(const std::string& path)
{
    file_ = std::fopen(path.c_str(), "w");
    return file_ != nullptr;
}

std::FILE* JsonLines::Begin(double ms)
{
    if (file_) std::fprintf(file_, "{\"t_ms\":%.3f,", ms);
    return file_;
}

void JsonLines::Bytes(const std::vector<uint8_t>& bytes)
{
    std::fputs("\"bytes\":[", file_);
    for (std::size_t i = 0; i < bytes.size(); ++i) std::fprintf(file_, i ? ",%u" : "%u", static_cast<unsigned>(bytes[i]));
    std::fputc(']', file_);
}

void JsonLines::Text(const char* name, const std::string& text)
{
    std::fprintf(file_, "\"%s\":\"", name);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7f) {
            std::fprintf(file_, "\\u%04x", static_cast<unsigned>(byte));
        } else {
            if (c == '"' || c == '\\') std::fputc('\\', file_);
            std::fputc(c, file_);
        }
    }
    std::fputc('"', file_);
}

void JsonLines::End()
{
    std::fputs("}\n", file_);
    std::fflush(file_);
}

void JsonLines::Event(double ms, const char* event, const std::vector<uint8_t>& bytes)
{
    if (!Begin(ms)) return;
    std::fprintf(file_, "\"event\":\"%s\",", event);
    Bytes(bytes);
    End();
}

void JsonLines::Event(double ms, const char* event, std::initializer_list<std::pair<const char*, std::string>> fields)
{
    std::FILE* file = Begin(ms);
    if (!file) return;
    Text("event", event);
    for (const auto& [name, text] : fields) {
        std::fputc(',', file);
        Text(name, text);
    }
    End();
}
