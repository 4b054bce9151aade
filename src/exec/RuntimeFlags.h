#pragma once

#include <atomic>
#include <cstdint>

// Runtime flags of ExecConfig::flags, as the runtime keeps them.
constexpr uint32_t ExecFlagPoolsReady = 0x1;   // general new/delete go to the pools
constexpr uint32_t ExecFlagMemoryLock = 0x2;   // pool operations hold "Memory manager"
constexpr uint32_t ExecFlagMemoryCheck = 0x4;  // live-block table and full checks
constexpr uint32_t ExecFlagIgnored = 0x8;      // always cleared when taken
constexpr uint32_t ExecFlagFill = 0x10;        // 0xAA / 0x11 fill patterns
constexpr uint32_t ExecFlagReportFree = 0x20;  // null and double releases are reported
constexpr uint32_t ExecFlagGuards = 0x40;      // "UVWX" guard words around every chunk

// Read by every thread (the general operator new looks at bit 0x1).
extern std::atomic<uint32_t> g_execFlags;

inline bool ExecFlag(uint32_t flag) { return (g_execFlags.load(std::memory_order_relaxed) & flag) != 0; }
