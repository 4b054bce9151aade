#pragma once

#include <string>
#include <vector>

// What a command prints on standard output: named fields in order, as
// NAME=VALUE lines or, with --json, one JSON object.
class Report {
public:
    void Text(const std::string& name, const std::string& value) { fields_.push_back({name, value, false}); }
    void Number(const std::string& name, long value) { fields_.push_back({name, std::to_string(value), true}); }

    std::string Lines() const;
    std::string Json() const;
    void Print(bool json) const;

    // A list of records: one line each, the values apart by tabs, or a
    // JSON array of objects.
    static void PrintRows(const std::vector<Report>& rows, bool json);

private:
    struct Field {
        std::string name, value;
        bool number;
    };
    std::vector<Field> fields_;
};
