#include "cli/Report.h"

#include "cli/CodePage.h"

#include <cstdio>

// The texts are UTF-8 (profile texts are converted from the file's code
// page); a byte that is no UTF-8 (a device's path) is taken as the Latin-1
// character it would be, so the JSON stays valid.
std::string Report::Quoted(const std::string& text)
{
    std::string out = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        const auto byte = static_cast<unsigned char>(c);
        const int length = Utf8Length(text, at);
        const std::size_t step = length > 0 ? static_cast<std::size_t>(length) : 1;
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7f || length == 0) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out.append(text, at, step);
        }
        at += step;
    }
    return out + "\"";
}

void Report::Measure(const std::string& name, const char* unit, const std::string& text)
{
    const std::string withUnit = std::string(" ") + unit;
    const bool measured = text.size() > withUnit.size() && text.compare(text.size() - withUnit.size(), withUnit.size(),
                                                                         withUnit) == 0;
    const std::string number = measured ? text.substr(0, text.size() - withUnit.size()) : "null";
    fields_.push_back({name, text, name + unit, number});
}

std::string Report::Lines() const
{
    std::string out;
    for (const Field& f : fields_)
        if (!f.name.empty()) out += f.name + "=" + f.text + "\n";
    return out;
}

std::string Report::Json() const
{
    std::string out = "{";
    for (const Field& f : fields_) {
        if (out.size() > 1) out += ",";
        out += Quoted(f.jsonName) + ":" + f.json;
    }
    return out + "}";
}

void Report::Print(bool json) const
{
    std::fputs(json ? (Json() + "\n").c_str() : Lines().c_str(), stdout);
}

void Report::PrintRows(const std::vector<Report>& rows, bool json)
{
    std::string out = json ? "[" : "";
    for (const Report& row : rows) {
        if (json) {
            out += (out.size() > 1 ? "," : "") + row.Json();
            continue;
        }
        for (const Field& f : row.fields_) out += (&f == &row.fields_.front() ? "" : "\t") + f.text;
        out += "\n";
    }
    std::fputs((json ? out + "]\n" : out).c_str(), stdout);
}
