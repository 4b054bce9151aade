#pragma once

#include <string>
#include <vector>

// What a command prints on standard output: named fields in order, as
// NAME=VALUE lines or, with --json, one JSON object whose keys stay the
// same whatever the device's state (null where a value is not known) and
// whose measures are JSON numbers with their unit in the key.
class Report {
public:
    void Text(const std::string& name, const std::string& value) { fields_.push_back({name, value, name, Quoted(value)}); }
    void Number(const std::string& name, long value)
    {
        fields_.push_back({name, std::to_string(value), name, std::to_string(value)});
    }
    // A number that a line shows in its own way ("0x201").
    void Number(const std::string& name, long value, const std::string& text)
    {
        fields_.push_back({name, text, name, std::to_string(value)});
    }
    // A number that only JSON shows (a line would say nothing new).
    void JsonNumber(const std::string& name, long value) { fields_.push_back({"", "", name, std::to_string(value)}); }
    // A measure: the line shows its text ("470 Hz"); JSON the number under
    // the name with the unit ("BandwidthHz": 470), null when the text holds
    // none ("Unlimited", "NA").
    void Measure(const std::string& name, const char* unit, const std::string& text);
    // A value not known: no line; null in JSON.
    void Unknown(const std::string& name) { fields_.push_back({"", "", name, "null"}); }

    std::string Lines() const;
    std::string Json() const;
    void Print(bool json) const;

    // A list of records: one line each, the values apart by tabs, or a
    // JSON array of objects.
    static void PrintRows(const std::vector<Report>& rows, bool json);

private:
    // A JSON string of an 8-bit text.
    static std::string Quoted(const std::string& text);

    struct Field {
        std::string name, text;      // as a line shows it; no line without a name
        std::string jsonName, json;  // as JSON shows it: a key and a value ready to print
    };
    std::vector<Field> fields_;
};
