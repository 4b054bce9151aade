#pragma once

#include "exec/Exec.h"
#include "exec/ExecConfig.h"

#include <cstdint>

// The runtime up for one benchmark, without a log file.
class BenchRuntime {
public:
    explicit BenchRuntime(uint32_t flags = 0)
    {
        ExecConfig config;
        config.mainRamSize = 32u << 20;
        config.flags = flags;
        config.logMode = 0;
        up_ = InitExec(config);
    }
    ~BenchRuntime()
    {
        if (up_) ExitExec();
    }
    BenchRuntime(const BenchRuntime&) = delete;
    BenchRuntime& operator=(const BenchRuntime&) = delete;
    bool Up() const { return up_; }

private:
    bool up_ = false;
};
