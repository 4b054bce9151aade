#pragma once

#include "SimOptions.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// One frame received from the program.
struct Frame {
    enum Kind { Read, Write, Status, Version, Calibrate, Center, Defaults, Probe, Unknown };
    Kind kind = Unknown;
    std::vector<uint8_t> bytes;
    uint8_t number = 0;
    uint8_t width = 0;
    int32_t value = 0; // the value written by a write frame
};

const char* FrameKindName(Frame::Kind kind);

// The board as the program sees it: the numbered parameters with their
// widths and defaults, the frame parser and the answers.
class BoardModel {
public:
    explicit BoardModel(const SimOptions& options);

    // Takes one received byte; true when it completed a frame, stored in frame.
    bool Feed(uint8_t byte, Frame& frame);
    // True while a frame has started but is not complete.
    bool InFrame() const { return !pending_.empty(); }
    // Drops a frame that never completed; returns its bytes.
    std::vector<uint8_t> DropPartial();

    // Carries the frame out and returns the answer bytes (none for most).
    std::vector<uint8_t> Answer(const Frame& frame);

    // The USB restart: the calibration starts over.
    void Restart() { statusIndex_ = 0; }
    // The version 'V' answers: the one the firmware image carries.
    void SetFirmwareVersion(uint32_t version) { firmwareVersion_ = version; }

    int32_t Value(uint8_t number) const;
    bool Known(uint8_t number) const { return params_.count(number) != 0; }

private:
    struct Param {
        uint8_t width;
        int32_t value;
        int32_t defaultValue;
    };
    void Define(uint8_t number, uint8_t width, int32_t defaultValue);
    std::size_t FrameLength() const;
    Frame Complete();

    const SimOptions& options_;
    std::map<uint8_t, Param> params_;
    std::vector<uint8_t> pending_;
    std::size_t statusIndex_ = 0;
    uint32_t firmwareVersion_;
};
