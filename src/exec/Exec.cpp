#include "exec/Exec.h"

#include "exec/ExecConfig.h"
#include "exec/Log.h"

bool InitExec(const ExecConfig& config)
{
    LogInit(config);
    SetLogThreshold(config.logLevel);
    return true;
}

void ExitExec() {}
