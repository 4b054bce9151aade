#include "ExecRuntime.h"

#include "core/AppContext.h"
#include "profiles/SettingsFile.h"

#include <cstdio>
#include <memory>
#include <string>

namespace {

// The settings in file order, then the GUID's bytes in hex.
std::string Fields(const AppContext& app)
{
    char text[80];
    int n = std::snprintf(text, sizeof text, "%u %d %d %d %d %d %d ", app.flags, app.params[StatisticsWindow].value,
                          app.boardComPort, app.driveComPort, app.resetDelay, app.params[TorqueBandwidth].value,
                          app.currentProfile);
    for (uint8_t byte : app.usedController) n += std::snprintf(text + n, sizeof text - n, "%02x", byte);
    return text;
}

using SettingsFileTest = ExecRuntime;

} // namespace

TEST_F(SettingsFileTest, SettingsAreWrittenAsSignedNumbersAndReadBackIntoTheirFields)
{
    ASSERT_TRUE(Start());
    // A flags word or GUID with its top bit set is written as a negative number; other sections stay.
    const std::string file =
        "[Mine]\r\nA=1\r\n\r\n[Config]\r\nFLAGS=-2147483648\r\nWINDOW_DURATION=3000\r\nDEVICE_COM_PORT=255\r\n"
        "SM_COM_PORT=9\r\nRESET_DELAY=1\r\nTORQUE_BW=11\r\nGAME_PROFILE_ID=4\r\n"
        "USED_DEVICE_GUID=-1902345678,62964,22136,1,2,3,4,5,6,7,255\r\n\r\n";
    const std::pair<const char*, const char*> readings[] = {
        {nullptr, "0 10 0 0 2000 0 0 000000000000000000000000000000ee"}, // no file: first
        {"[Config]\r\nDEVICE_COM_PORT=260\r\nSM_COM_PORT=0x201\r\nRESET_DELAY=-9999999999\r\nUSED_DEVICE_GUID=1,65538,"
         "131075,256,257,0,0,0,0,0,511\r\n\r\n", "0 10 4 1 0 0 0 010000000200030000010000000000ff"},
        {"[Config]\r\nFLAGS=1\r\nUSED_DEVICE_GUID=1,2,3\r\n", "1 10 0 0 2000 0 0 01000000020003000000000000000000"},
        {"[Config]\r\nWINDOW_DURATION=1\r\nTORQUE_BW=5\r\nTORQUE_BW=0\r\nGAME_PROFILE_ID=5\r\nGAME_PROFILE_ID=0\r\n",
         "0 1 0 0 2000 0 0 000000000000000000000000000000ee"},
        {"[Config]\r\nTORQUE_BW=12\r\nTORQUE_BW=-1\r\nGAME_PROFILE_ID=-1\r\nWINDOW_DURATION=0\r\n\r\n",
         "0 10 0 0 2000 0 0 000000000000000000000000000000ee"},
        {file.c_str(), "2147483648 3000 255 9 1 11 4 32829c8ef4f5785601020304050607ff"}, // last: written back below
    };
    std::unique_ptr<AppContext> app;
    for (const auto& [text, fields] : readings) {
        if (text) dir.Write("config.ini", text);
        app = std::make_unique<AppContext>();
        app->usedController[15] = 0xEE; // tells a value read as 0 from one left alone
        LoadSettings(*app);
        EXPECT_EQ(Fields(*app), fields) << (text ? text : "no file");
    }
    for (const char* line : {"TORQUE_BW 12 is outside 0..11, keeping 0", "TORQUE_BW -1 is outside 0..11, keeping 0",
                             "GAME_PROFILE_ID -1 is negative, keeping 0", "WINDOW_DURATION 0 is below 1, keeping 10"}) {
        EXPECT_TRUE(LogHas(std::string("LoadSettings: ") + line)) << line;
    }
    dir.Write("config.ini", "[Mine]\r\nA=1\r\n\r\n");
    SaveSettings(*app);
    EXPECT_EQ(dir.Read("config.ini"), file);
}
