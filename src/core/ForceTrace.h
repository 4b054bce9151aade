#pragma once

#include <cstdint>
#include <deque>

// The board's force-feedback trace of the last ten seconds, as the tick
// takes its frames: the torque values and the moments an effect was created
// or an error reported, for the drive page's graph.
class ForceTrace {
public:
    static constexpr uint64_t SpanMs = 10000;
    enum class Kind : uint8_t { Torque, CreateEffect, Error };
    struct Entry {
        uint64_t time; // milliseconds of the tick's clock
        Kind kind;
        int16_t value; // the frame's signed value
    };

    // Adds a frame taken at `now` and lets go of those older than the span.
    void Add(uint64_t now, Kind kind, int16_t value);
    const std::deque<Entry>& Entries() const { return entries_; }

private:
    std::deque<Entry> entries_;
};
