#include "DriveModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr uint8_t RequestId = 0x24;  // instant command with an N-byte payload
constexpr uint8_t FormBits = 6;      // command id AND 6: 0 none, 2 two bytes, 4 size byte follows
constexpr std::size_t HeaderBytes = 3; // command id, payload length, node
constexpr std::size_t MaxPayload = 255;
constexpr std::size_t OverlongPayload = 121; // one byte more than a master takes
constexpr uint8_t AckByte = 0xC0;            // a 1-byte return value 0
constexpr int32_t TargetParam = 9;           // a value written here names the parameter returned
constexpr int32_t ReturnLengthParam = 10;
constexpr int32_t VersionParam = 3;
constexpr int32_t TorqueBandwidthParam = 490;
constexpr int32_t CurrentParam = 901;

// Sub-packet types by their top two bits: 00 holds 30 bits in 4 bytes,
// 01 22 bits in 3, 10 14 bits in 2, 11 6 bits in 1.
std::size_t SubpacketBytes(int type) { return static_cast<std::size_t>(4 - type); }

bool Decode(const std::vector<uint8_t>& bytes, std::size_t end, std::vector<std::pair<int, int32_t>>& out)
{
    for (std::size_t at = HeaderBytes; at < end;) {
        const int type = bytes[at] >> 6;
        const std::size_t length = SubpacketBytes(type);
        if (at + length > end) return false;
        uint32_t raw = 0;
        for (std::size_t i = 0; i < length; ++i) raw = raw << 8 | bytes[at + i];
        at += length;
        const auto bits = static_cast<unsigned>(length * 8 - 2);
        raw &= (1u << bits) - 1;
        const bool negative = type != 2 && (raw >> (bits - 1)) != 0; // type 10 names a parameter
        out.emplace_back(type, static_cast<int32_t>(raw) - (negative ? static_cast<int32_t>(1u << bits) : 0));
    }
    return true;
}

// The shortest form that holds value as a signed number.
void AppendReturn(std::vector<uint8_t>& out, int32_t value)
{
    for (int type = 3; type >= 0; --type) {
        const std::size_t length = SubpacketBytes(type);
        const auto bits = static_cast<unsigned>(length * 8 - 2);
        const int32_t limit = 1 << (bits - 1);
        if (type > 0 && (value < -limit || value >= limit)) continue;
        const uint32_t word = (static_cast<uint32_t>(value) & ((1u << bits) - 1)) | static_cast<uint32_t>(type) << bits;
        for (std::size_t i = length; i-- > 0;) out.push_back(static_cast<uint8_t>(word >> (8 * i)));
        return;
    }
}

} // namespace

uint16_t Crc16Arc(const uint8_t* bytes, std::size_t count)
{
    constexpr uint16_t Reflected = 0xA001; // 0x8005 with its bits in reverse order
    uint16_t crc = 0;
    for (std::size_t i = 0; i < count; ++i) {
        crc = static_cast<uint16_t>(crc ^ bytes[i]);
        for (int bit = 0; bit < 8; ++bit) crc = static_cast<uint16_t>(crc & 1 ? (crc >> 1) ^ Reflected : crc >> 1);
    }
    return crc;
}

DriveModel::DriveModel(const DriveOptions& options) : options_(options)
{
    params_[VersionParam] = options.version;
    params_[TorqueBandwidthParam] = options.torqueBandwidth;
}

DriveModel::Fed DriveModel::Feed(uint8_t byte, DriveRequest& request)
{
    request = DriveRequest{};
    if (pending_.empty() && byte != RequestId) {
        request.bytes.push_back(byte);
        return Fed::Stray;
    }
    pending_.push_back(byte);
    if (pending_.size() < HeaderBytes || pending_.size() < HeaderBytes + pending_[1] + 2) return Fed::Nothing;
    request.bytes = std::move(pending_);
    pending_.clear();
    const std::vector<uint8_t>& b = request.bytes;
    const std::size_t end = HeaderBytes + b[1];
    const uint16_t crc = Crc16Arc(b.data(), end);
    if (b[end] != (crc & 0xff) || b[end + 1] != crc >> 8) {
        request.error = "crc";
    } else if (b[2] != options_.node) {
        request.error = "node";
    } else if (!Decode(b, end, request.subpackets)) {
        request.error = "short";
        request.subpackets.clear();
    }
    return Fed::Request;
}

std::vector<uint8_t> DriveModel::DropPartial()
{
    std::vector<uint8_t> dropped;
    dropped.swap(pending_);
    return dropped;
}

void DriveModel::Execute(DriveRequest& request)
{
    int32_t target = 0;
    for (const auto& [type, value] : request.subpackets) {
        int32_t returned = 0;
        if (type == 2) {
            target = value;
        } else if (target == TargetParam) {
            request.readParam = value;
            request.readValue = returned = Read(value);
        } else {
            Write(target, value);
            if (target != ReturnLengthParam) {
                request.writeParam = target;
                request.writeValue = value;
            }
        }
        request.returns.push_back(returned);
    }
}

std::vector<uint8_t> DriveModel::Reply(std::vector<int32_t> returns, DriveFault fault) const
{
    if (fault == DriveFault::Short && !returns.empty()) returns.pop_back();
    std::vector<uint8_t> payload;
    for (const int32_t value : returns) {
        const std::size_t before = payload.size();
        AppendReturn(payload, value);
        if (payload.size() > MaxPayload) {
            payload.resize(before); // what does not fit one packet is left out
            break;
        }
    }
    if (fault == DriveFault::Overlong) payload.resize(std::max(payload.size(), OverlongPayload), AckByte);
    const uint8_t form = payload.empty() ? 0 : payload.size() == 2 ? 2 : 4;
    uint8_t id = static_cast<uint8_t>((RequestId & ~FormBits) | form);
    if (fault == DriveFault::Reserved) id |= FormBits;
    std::vector<uint8_t> out{id};
    if (form == 4) out.push_back(static_cast<uint8_t>(payload.size()));
    out.push_back(static_cast<uint8_t>(options_.node));
    out.insert(out.end(), payload.begin(), payload.end());
    const uint16_t crc = Crc16Arc(out.data(), out.size());
    out.push_back(static_cast<uint8_t>(crc & 0xff));
    out.push_back(static_cast<uint8_t>(crc >> 8));
    if (fault == DriveFault::BadCrc) out.back() ^= 0xff;
    return out;
}

int32_t DriveModel::Read(int32_t param)
{
    if (param != CurrentParam) {
        const auto it = params_.find(param);
        return it == params_.end() ? 0 : it->second;
    }
    const long long n = currentReads_++;
    if (options_.wavePeriod <= 0) return options_.samples[static_cast<std::size_t>(n) % options_.samples.size()];
    const double phase = 2.0 * std::numbers::pi * static_cast<double>(n % options_.wavePeriod) / options_.wavePeriod;
    return static_cast<int32_t>(std::lround(options_.waveAmplitude * std::sin(phase)));
}

void DriveModel::Write(int32_t param, int32_t value)
{
    if (param != VersionParam && param != CurrentParam) params_[param] = value; // those two are read only
}
