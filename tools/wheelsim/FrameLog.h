#pragma once

#include "BoardModel.h"
#include "BootLoader.h"
#include "SimText.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// The simulator's record of what it received: one JSON object per line,
// with the milliseconds since the simulator started, e.g.
// {"t_ms":12.345,"kind":"write","bytes":[80,8,4,0,0,3,132],"number":8,"width":4,"value":900}
// Events of its own ("restart", "disconnect", "dropped") are lines with an
// "event" name instead of a kind. The boot loader's commands are lines of
// kind "avr109", e.g.
// {"t_ms":812.5,"kind":"avr109","command":"B","memory":"F","address":256,"bytes":128}
class FrameLog {
public:
    bool Open(const std::string& path) { return lines_.Open(path); }
    void WriteFrame(double ms, const Frame& frame);
    void WriteEvent(double ms, const char* event, const std::vector<uint8_t>& bytes = {})
    {
        lines_.Event(ms, event, bytes);
    }
    // An event with text fields: {"t_ms":..,"event":"..","name":"text",...}.
    void WriteEvent(double ms, const char* event, std::initializer_list<std::pair<const char*, std::string>> fields)
    {
        lines_.Event(ms, event, fields);
    }
    void WriteCommand(double ms, const Avr109Command& command);

private:
    JsonLines lines_;
};
