#include "BoardModel.h"

#include <cstring>

namespace {

constexpr char Probe[] = "areyou?";
constexpr std::size_t ProbeLength = sizeof Probe - 1;
constexpr char ProbeAnswer[] = "IamHereNow";

int32_t SignExtend(uint32_t raw, uint8_t width)
{
    if (width == 1) return static_cast<int8_t>(raw & 0xff);
    if (width == 2) return static_cast<int16_t>(raw & 0xffff);
    return static_cast<int32_t>(raw);
}

} // namespace

const char* FrameKindName(Frame::Kind kind)
{
    switch (kind) {
    case Frame::Read: return "read";
    case Frame::Write: return "write";
    case Frame::Status: return "status";
    case Frame::Version: return "version";
    case Frame::Calibrate: return "calibrate";
    case Frame::Center: return "center";
    case Frame::Defaults: return "defaults";
    case Frame::Probe: return "probe";
    case Frame::Unknown: break;
    }
    return "unknown";
}

BoardModel::BoardModel(const SimOptions& options) : options_(options), firmwareVersion_(options.firmwareVersion)
{
    Define(4, 4, 0);        // CenterOffset
    Define(8, 4, 900);      // MaxAngle
    Define(12, 4, 10000);   // EncoderCounts
    Define(16, 1, 0);       // DebugLevel
    Define(17, 1, 127);     // MainGain
    for (uint8_t n = 18; n <= 24; ++n) Define(n, 1, 64); // game effects, force table
    Define(25, 1, 255);     // ExtGainSource
    for (uint8_t n = 26; n <= 33; ++n) Define(n, 1, 32); // desktop, stop and user effects
    Define(34, 1, 0);       // WheelFlags
    Define(35, 1, 1);       // CommandMode
    for (uint8_t n = 36; n <= 75; ++n) Define(n, 1, 255); // pins and axis sources
    Define(77, 1, 16);      // Filter
    Define(79, 1, 0);       // PwmFrequency
    for (uint8_t n = 80; n <= 86; n = static_cast<uint8_t>(n + 2)) Define(n, 2, 4096); // linearity
    Define(254, 1, 100);    // ExternalGain
    for (const auto& [number, value] : options.initialValues) {
        auto it = params_.find(static_cast<uint8_t>(number));
        if (it == params_.end()) {
            Define(static_cast<uint8_t>(number), 4, value);
        } else {
            it->second.value = it->second.defaultValue = SignExtend(static_cast<uint32_t>(value), it->second.width);
        }
    }
}

void BoardModel::Define(uint8_t number, uint8_t width, int32_t defaultValue)
{
    params_[number] = Param{width, defaultValue, defaultValue};
}

int32_t BoardModel::Value(uint8_t number) const
{
    const auto it = params_.find(number);
    return it == params_.end() ? 0 : it->second.value;
}

std::size_t BoardModel::FrameLength() const
{
    switch (pending_[0]) {
    case 'p': return 3;
    case 'P': return pending_.size() < 3 ? 3 : 3u + pending_[2];
    case 'a': return ProbeLength;
    default: return 1;
    }
}

bool BoardModel::Feed(uint8_t byte, Frame& frame)
{
    pending_.push_back(byte);
    // A probe that stops matching is not a probe: its bytes are unknown.
    if (pending_[0] == 'a' && pending_.back() != static_cast<uint8_t>(Probe[pending_.size() - 1])) {
        frame = Frame{};
        frame.bytes = pending_;
        pending_.clear();
        return true;
    }
    if (pending_.size() < FrameLength()) return false;
    frame = Complete();
    pending_.clear();
    return true;
}

std::vector<uint8_t> BoardModel::DropPartial()
{
    std::vector<uint8_t> dropped;
    dropped.swap(pending_);
    return dropped;
}

Frame BoardModel::Complete()
{
    Frame f;
    f.bytes = pending_;
    switch (pending_[0]) {
    case 'p':
        f.kind = Frame::Read;
        f.number = pending_[1];
        f.width = pending_[2];
        break;
    case 'P': {
        f.kind = Frame::Write;
        f.number = pending_[1];
        f.width = pending_[2];
        uint32_t raw = 0;
        for (std::size_t i = 3; i < pending_.size(); ++i) raw = (raw << 8) | pending_[i];
        f.value = SignExtend(raw, f.width);
        break;
    }
    case 'S': f.kind = Frame::Status; break;
    case 'V': f.kind = Frame::Version; break;
    case 'r': f.kind = Frame::Calibrate; break;
    case 'c': f.kind = Frame::Center; break;
    case 'D': f.kind = Frame::Defaults; break;
    case 'a': f.kind = Frame::Probe; break;
    default: f.kind = Frame::Unknown; break;
    }
    return f;
}

std::vector<uint8_t> BoardModel::Answer(const Frame& frame)
{
    std::vector<uint8_t> reply;
    switch (frame.kind) {
    case Frame::Read: {
        // Little-endian, as many bytes as asked for; unknown numbers read 0.
        const auto raw = static_cast<uint32_t>(Value(frame.number));
        for (uint8_t i = 0; i < frame.width; ++i) {
            reply.push_back(i < 4 ? static_cast<uint8_t>(raw >> (8u * i)) : uint8_t{0});
        }
        break;
    }
    case Frame::Write: {
        auto it = params_.find(frame.number);
        if (it != params_.end()) it->second.value = SignExtend(static_cast<uint32_t>(frame.value), it->second.width);
        break;
    }
    case Frame::Status: {
        const std::vector<uint8_t>& script = options_.statusScript;
        reply.push_back(script[statusIndex_]);
        if (statusIndex_ + 1 < script.size()) ++statusIndex_;
        break;
    }
    case Frame::Version:
        for (unsigned i = 0; i < 4; ++i) reply.push_back(static_cast<uint8_t>(firmwareVersion_ >> (8u * i)));
        break;
    case Frame::Calibrate: statusIndex_ = 0; break;
    case Frame::Center: params_[4].value = options_.centerValue; break;
    case Frame::Defaults:
        for (auto& [number, param] : params_) param.value = param.defaultValue;
        break;
    case Frame::Probe: reply.assign(ProbeAnswer, ProbeAnswer + std::strlen(ProbeAnswer)); break;
    case Frame::Unknown: break;
    }
    return reply;
}
