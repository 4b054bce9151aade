#pragma once

#include "exec/Exec.h"
#include "exec/ExecConfig.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

// A test with the runtime up in a fresh directory, which is also the
// current directory while the test runs.
class ExecRuntime : public ::testing::Test {
protected:
    ExecRuntime()
    {
        std::filesystem::current_path(dir.path());
        for (char* directory : {config.logDirectory, config.baseDirectory})
            std::snprintf(directory, sizeof config.baseDirectory, "%s", dir.WithSeparator().c_str());
        config.mainRamSize = 4u << 20;
        config.logLevel = 3;
        config.logMode = 2;
    }
    ~ExecRuntime() override
    {
        Stop();
        std::filesystem::current_path(previous_);
    }
    bool Start(uint32_t flags = 0)
    {
        config.flags = flags;
        return started_ = InitExec(config);
    }
    void Stop()
    {
        if (started_) ExitExec();
        started_ = false;
    }
    std::string Log() const { return dir.Read("Log.txt"); }
    bool LogHas(const std::string& line) const { return Log().find(line + "\r\n") != std::string::npos; }

    TempDir dir;
    ExecConfig config;

private:
    std::filesystem::path previous_ = std::filesystem::current_path();
    bool started_ = false;
};
