#pragma once

#include "exec/Exec.h"
#include "exec/ExecConfig.h"

#include <cstdint>
#include <cstring>

// Starts the runtime for a fuzz target: a main pool of this size, no log, and
// a base folder that is not there. 0 on success, as LLVMFuzzerInitialize returns.
inline int StartFuzzExec(uint32_t mainRamSize)
{
    ExecConfig config;
    config.mainRamSize = mainRamSize;
    std::strcpy(config.baseDirectory, "/nonexistent/");
    return InitExec(config) ? 0 : 1;
}
