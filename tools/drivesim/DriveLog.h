#pragma once

#include "DriveModel.h"
#include "SimText.h"

#include <cstdint>
#include <string>
#include <vector>

// The drive's record of what it received: one JSON object per line, with
// the milliseconds since the simulator started, e.g.
// {"t_ms":12.345,"node":2,"bytes":[...],"subpackets":[[2,490],[0,5]],"write":{"param":490,"value":5}}
// A faulty request carries "error" ("crc", "node", "short") and its bytes;
// events of its own ("dropped") carry an "event" name.
class DriveLog {
public:
    bool Open(const std::string& path) { return lines_.Open(path); }
    void WriteRequest(double ms, const DriveRequest& request);
    void WriteEvent(double ms, const char* event, const std::vector<uint8_t>& bytes) { lines_.Event(ms, event, bytes); }
    // An event with text fields ("fault", "return").
    void WriteEvent(double ms, const char* event, std::initializer_list<std::pair<const char*, std::string>> fields)
    {
        lines_.Event(ms, event, fields);
    }

private:
    JsonLines lines_;
};
