#include "ExecRuntime.h"

#include "core/AppContext.h"
#include "profiles/SettingsFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

class SettingsFileTest : public ExecRuntime {
protected:
    void SetUp() override { ASSERT_TRUE(Start()); }

    void Load(const std::string& text)
    {
        dir.Write("config.ini", text);
        LoadSettings(*app);
    }

    std::unique_ptr<AppContext> app = std::make_unique<AppContext>();
};

const char DefaultFile[] = "[Config]\r\n"
                           "FLAGS=0\r\n"
                           "WINDOW_DURATION=10\r\n"
                           "DEVICE_COM_PORT=0\r\n"
                           "SM_COM_PORT=0\r\n"
                           "RESET_DELAY=2000\r\n"
                           "TORQUE_BW=0\r\n"
                           "GAME_PROFILE_ID=0\r\n"
                           "USED_DEVICE_GUID=0,0,0,0,0,0,0,0,0,0,0\r\n"
                           "\r\n";

} // namespace

TEST_F(SettingsFileTest, DefaultsAreWrittenByteForByte)
{
    SaveSettings(*app);
    EXPECT_EQ(dir.Read("config.ini"), DefaultFile);
}

TEST_F(SettingsFileTest, MissingFileLeavesTheDefaults)
{
    LoadSettings(*app);
    EXPECT_EQ(app->params[StatisticsWindow].value, 10);
    EXPECT_EQ(app->resetDelay, 2000);
    EXPECT_EQ(app->boardComPort, 0);
}

TEST_F(SettingsFileTest, EveryKeyReachesItsField)
{
    Load("[Config]\r\nFLAGS=3\r\nWINDOW_DURATION=250\r\nDEVICE_COM_PORT=5\r\nSM_COM_PORT=0x0C\r\n"
         "RESET_DELAY=3500\r\nTORQUE_BW=11\r\nGAME_PROFILE_ID=2\r\n"
         "USED_DEVICE_GUID=-2023406815,4660,22136,1,2,3,4,5,6,7,255\r\n\r\n");
    EXPECT_EQ(app->flags, 3u);
    EXPECT_EQ(app->params[StatisticsWindow].value, 250);
    EXPECT_EQ(app->boardComPort, 5);
    EXPECT_EQ(app->driveComPort, 12);
    EXPECT_EQ(app->resetDelay, 3500);
    EXPECT_EQ(app->params[TorqueBandwidth].value, 11);
    EXPECT_EQ(app->currentProfile, 2);
    const uint8_t guid[16] = {0x21, 0x43, 0x65, 0x87, 0x34, 0x12, 0x78, 0x56, 1, 2, 3, 4, 5, 6, 7, 255};
    EXPECT_EQ(std::memcmp(app->usedController, guid, sizeof guid), 0) << "0x87654321, 0x1234, 0x5678, 1..7, 255";
}

TEST_F(SettingsFileTest, PortNumbersKeepTheirLowEightBits)
{
    Load("[Config]\r\nDEVICE_COM_PORT=260\r\nSM_COM_PORT=513\r\n\r\n");
    EXPECT_EQ(app->boardComPort, 4);
    EXPECT_EQ(app->driveComPort, 1);
}

TEST_F(SettingsFileTest, GuidWordsKeepTheirLowBits)
{
    Load("[Config]\r\nUSED_DEVICE_GUID=1,65538,131075,256,257,0,0,0,0,0,511\r\n\r\n");
    const uint8_t guid[16] = {1, 0, 0, 0, 2, 0, 3, 0, 0, 1, 0, 0, 0, 0, 0, 255};
    EXPECT_EQ(std::memcmp(app->usedController, guid, sizeof guid), 0);
}

TEST_F(SettingsFileTest, ShortGuidLineAtTheEndFillsTheRestWithZero)
{
    app->usedController[9] = 0x55;
    Load("[Config]\r\nFLAGS=1\r\nUSED_DEVICE_GUID=1,2,3\r\n");
    const uint8_t guid[16] = {1, 0, 0, 0, 2, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(app->usedController, guid, sizeof guid), 0);
    EXPECT_EQ(app->flags, 1u);
}

TEST_F(SettingsFileTest, AbsentKeysAndOtherSectionsLeaveFieldsAlone)
{
    app->boardComPort = 7;
    Load("[Other]\r\nDEVICE_COM_PORT=3\r\n\r\n[Config]\r\nFLAGS=2\r\nUNKNOWN=9\r\n\r\n");
    EXPECT_EQ(app->boardComPort, 7);
    EXPECT_EQ(app->flags, 2u);
}

TEST_F(SettingsFileTest, WrittenFileReadsBackToTheSameFields)
{
    app->flags = 0x80000003u;
    app->params[StatisticsWindow].value = 3000;
    app->boardComPort = 255;
    app->driveComPort = 9;
    app->resetDelay = 1;
    app->params[TorqueBandwidth].value = 7;
    app->currentProfile = 4;
    for (int i = 0; i < 16; ++i) app->usedController[i] = static_cast<uint8_t>(0xF0 + i);
    SaveSettings(*app);

    AppContext read;
    LoadSettings(read);
    EXPECT_EQ(read.flags, app->flags);
    EXPECT_EQ(read.params[StatisticsWindow].value, 3000);
    EXPECT_EQ(read.boardComPort, 255);
    EXPECT_EQ(read.driveComPort, 9);
    EXPECT_EQ(read.resetDelay, 1);
    EXPECT_EQ(read.params[TorqueBandwidth].value, 7);
    EXPECT_EQ(read.currentProfile, 4);
    EXPECT_EQ(std::memcmp(read.usedController, app->usedController, 16), 0);
    EXPECT_NE(dir.Read("config.ini").find("USED_DEVICE_GUID=-202182160,62964,63478,248,"), std::string::npos)
        << "Data1 as a signed number, Data2 and Data3 unsigned";
}

TEST_F(SettingsFileTest, RewritingKeepsOtherSectionsOfTheFile)
{
    dir.Write("config.ini", "[Mine]\r\nA=1\r\n\r\n[Config]\r\nFLAGS=1\r\n\r\n");
    SaveSettings(*app);
    EXPECT_EQ(dir.Read("config.ini"), std::string("[Mine]\r\nA=1\r\n\r\n") + DefaultFile);
}

TEST_F(SettingsFileTest, ValuesOutsideTheirRangesKeepTheDefaultAndAreLogged)
{
    Load("[Config]\r\nTORQUE_BW=12\r\nGAME_PROFILE_ID=-1\r\nWINDOW_DURATION=0\r\n\r\n");
    EXPECT_EQ(app->params[TorqueBandwidth].value, 0);
    EXPECT_EQ(app->currentProfile, 0);
    EXPECT_EQ(app->params[StatisticsWindow].value, 10);
    EXPECT_TRUE(LogHas("LoadSettings: TORQUE_BW 12 is outside 0..11, keeping 0"));
    EXPECT_TRUE(LogHas("LoadSettings: GAME_PROFILE_ID -1 is negative, keeping 0"));
    EXPECT_TRUE(LogHas("LoadSettings: WINDOW_DURATION 0 is below 1, keeping 10"));
    Load("[Config]\r\nTORQUE_BW=-1\r\n\r\n");
    EXPECT_TRUE(LogHas("LoadSettings: TORQUE_BW -1 is outside 0..11, keeping 0"));
}

TEST_F(SettingsFileTest, RangeEndsAreTaken)
{
    Load("[Config]\r\nTORQUE_BW=11\r\nGAME_PROFILE_ID=99\r\nWINDOW_DURATION=1\r\n\r\n");
    EXPECT_EQ(app->params[TorqueBandwidth].value, 11);
    EXPECT_EQ(app->currentProfile, 99);
    EXPECT_EQ(app->params[StatisticsWindow].value, 1);
    EXPECT_EQ(Log().find("LoadSettings:"), std::string::npos);
}
