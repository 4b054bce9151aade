#pragma once

#include "DriveOptions.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

// CRC-16/ARC (polynomial 0x8005 taken least significant bit first, start
// 0, no final xor), worked out bit by bit. The wire carries its low byte
// first: "123456789" gives 0xBB3D, sent as 0x3D, 0xBB.
uint16_t Crc16Arc(const uint8_t* bytes, std::size_t count);

// One request as received, and what the drive made of it.
struct DriveRequest {
    std::vector<uint8_t> bytes;
    const char* error = nullptr;                     // "crc", "node" or "short"; null when sound
    std::vector<std::pair<int, int32_t>> subpackets; // type (top two bits) and value; type 2: parameter number
    std::vector<int32_t> returns;                    // one per sub-packet, once carried out
    int writeParam = -1;                             // the last parameter written (not 9 or 10)
    int32_t writeValue = 0;
    int readParam = -1;                              // the last parameter asked for through 9
    int32_t readValue = 0;
};

// The drive as the program sees it: the request parser, the parameters and
// the reply packets. No I/O.
class DriveModel {
public:
    explicit DriveModel(const DriveOptions& options);

    enum class Fed { Nothing, Request, Stray };
    // Takes one received byte. Request: a complete request is in request
    // (with its error, if any); Stray: a byte that cannot start a request,
    // in request.bytes.
    Fed Feed(uint8_t byte, DriveRequest& request);
    // True while a request has started but is not complete.
    bool InRequest() const { return !pending_.empty(); }
    // Drops a request that never completed; returns its bytes.
    std::vector<uint8_t> DropPartial();

    // Carries out a sound request: parameters written, return values filled in.
    void Execute(DriveRequest& request);
    // The reply packet with the return values, shaped by fault.
    std::vector<uint8_t> Reply(std::vector<int32_t> returns, DriveFault fault) const;

private:
    int32_t Read(int32_t param);
    void Write(int32_t param, int32_t value);

    const DriveOptions& options_;
    std::map<int32_t, int32_t> params_;
    std::vector<uint8_t> pending_;
    long long currentReads_ = 0;
};
