#include "exec/ExecConfig.h"
#include "exec/Log.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>

namespace {

class LogTest : public ::testing::Test {
protected:
    void Start(unsigned mode, int threshold = 0)
    {
        ExecConfig config;
        std::snprintf(config.logDirectory, sizeof config.logDirectory, "%s", dir.WithSeparator().c_str());
        config.logMode = static_cast<uint16_t>(mode);
        LogInit(config);
        SetLogThreshold(threshold);
    }
    std::string File() const { return dir.Read("Log.txt"); }

    TempDir dir;
};

const std::regex InitLine("Exec Log Init [0-9]{1,2} (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
                          "[0-9]{4} at [0-9]{2}:[0-9]{2}:[0-9]{2}\r\n");

} // namespace

TEST_F(LogTest, NewLogBeginsWithLogCreateThenTheInitLine)
{
    dir.Write("Log.txt", "old contents\r\n");
    Start(LogModeNew);
    const std::string file = File();
    ASSERT_EQ(file.rfind("Log Create\r\n", 0), 0u) << file;
    EXPECT_TRUE(std::regex_match(file.substr(12), InitLine)) << file;
}

TEST_F(LogTest, AppendModeKeepsTheFileAndWritesNoLogCreate)
{
    dir.Write("Log.txt", "old contents\r\n");
    Start(LogModeAppend);
    const std::string file = File();
    ASSERT_EQ(file.rfind("old contents\r\n", 0), 0u);
    EXPECT_EQ(file.find("Log Create"), std::string::npos);
    EXPECT_TRUE(std::regex_match(file.substr(14), InitLine)) << file;
}

TEST_F(LogTest, ModeOffWritesNothingButLogWriteStillWrites)
{
    Start(LogModeOff);
    EXPECT_EQ(LogPrintf(0, "dropped %d", 1), 0);
    EXPECT_EQ(File(), "");
    LogWrite("direct");
    EXPECT_EQ(File(), "direct\r\n");
}

TEST_F(LogTest, LevelsAboveTheThresholdAreDropped)
{
    Start(LogModeNew, 0);
    const std::string opening = File();
    EXPECT_EQ(LogPrintf(3, "detail"), 0);
    EXPECT_EQ(LogPrintf(1, "warning"), 0);
    EXPECT_EQ(File(), opening);
    EXPECT_EQ(LogPrintf(0, "error %s", "here"), 10);
    EXPECT_EQ(File(), opening + "error here\r\n");

    SetLogThreshold(2);
    EXPECT_EQ(LogPrintf(2, "info"), 4);
    EXPECT_EQ(LogPrintf(3, "detail"), 0);
    EXPECT_EQ(File(), opening + "error here\r\ninfo\r\n");
}

TEST_F(LogTest, LongMessagesAreCutTo511Characters)
{
    Start(LogModeNew);
    const std::string opening = File();
    const std::string message(600, 'x');
    EXPECT_EQ(LogPrintf(0, "%s", message.c_str()), 511);
    EXPECT_EQ(File(), opening + std::string(511, 'x') + "\r\n");
}

TEST_F(LogTest, TextEndingInALineEndLeavesAnEmptyLine)
{
    Start(LogModeNew);
    const std::string opening = File();
    LogPrintf(0, "Exec Remove %s\n", "now");
    EXPECT_EQ(File(), opening + "Exec Remove now\r\n\r\n");
}

TEST_F(LogTest, UnwritableDirectoryLosesTheLineQuietly)
{
    ExecConfig config;
    std::snprintf(config.logDirectory, sizeof config.logDirectory, "%s",
                  (dir.WithSeparator() + "missing/").c_str());
    config.logMode = LogModeNew;
    LogInit(config);
    EXPECT_EQ(LogPrintf(0, "lost"), 4);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
}

TEST_F(LogTest, FailureReportLogsTheMessageAtLevelZero)
{
    Start(LogModeNew);
    const std::string opening = File();
    ExecFailure("Exec\\Memory", 42, FormatTemp("AllocMem: Could not allocate memory %d", 16));
    EXPECT_EQ(File(), opening + "AllocMem: Could not allocate memory 16\r\n");
    // With no debugger attached the box never asks the caller to break.
    EXPECT_FALSE(AssertBox("Exec\\Memory", 1, "FALSE", "message"));
}
