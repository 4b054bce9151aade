// The online script read into what the update check offers.
#include "ExecRuntime.h"
#include "update/OnlineScript.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class OnlineScriptTest : public ExecRuntime {
protected:
    OnlineScriptTest() { Start(); }
    ServerInfo Parse(const std::string& text)
    {
        ServerInfo info;
        EXPECT_TRUE(ParseOnlineScript("vt_servers.ini", text.data(), text.size(), info));
        return info;
    }
};

TEST_F(OnlineScriptTest, KeysAreReadInEitherSection)
{
    const ServerInfo info = Parse("[SERVER]\r\nADRESS = 10.0.0.7\r\nPORT = 0x1F\r\nFW_VERSION = 1,2,3,4\r\n"
                                  "FW_UPDATE = 9,9,9,9, \"fw.example:8080\", \"wheel 0.67.hex\"\r\n"
                                  "[UPDATE]\r\nVERSION = 0, 0, 1, 0xFF\r\n"
                                  "UPDATE = 0,0,0,0, \"http://dl.example/tool/\", \"Vantor.zip\"\r\n");
    EXPECT_STREQ(info.address, "10.0.0.7");
    EXPECT_EQ(info.port, 31);
    EXPECT_EQ(info.firmwareVersion, 0x01020304u);
    EXPECT_EQ(info.toolVersion, 0x1FFu);
    EXPECT_STREQ(info.firmwareHost, "fw.example:8080");
    EXPECT_STREQ(info.firmwareFile, "wheel 0.67.hex");
    EXPECT_STREQ(info.toolLocation, "http://dl.example/tool/1033/Vantor.zip");
}

TEST_F(OnlineScriptTest, WhatIsMissingKeepsTheDefaultsOrReadsAsMissing)
{
    // The text ends before the last value of the line.
    const ServerInfo info = Parse("[OTHER]\r\nPORT = 1\r\n[SERVER]\r\nFW_UPDATE = 0,0,0,0, \"h\"");
    EXPECT_EQ(info.port, 4207);
    EXPECT_STREQ(info.address, "192.168.0.250");
    EXPECT_STREQ(info.firmwareHost, "h");
    EXPECT_STREQ(info.firmwareFile, "Missing parameter");
    EXPECT_EQ(info.toolVersion, 0u);
    const ServerInfo empty = Parse("");
    EXPECT_STREQ(empty.toolLocation, "");
}

TEST_F(OnlineScriptTest, LongTextsAreCut)
{
    const std::string longText(300, 'a');
    const ServerInfo info = Parse("[UPDATE]\r\nADRESS = " + longText + "\r\nUPDATE = 0,0,0,0, \"" + longText +
                                  "\", \"f\"\r\nFW_UPDATE = 0,0,0,0, \"" + longText + "\", \"" + longText + "\"\r\n");
    EXPECT_EQ(std::string(info.address), longText.substr(0, 63));
    EXPECT_EQ(std::string(info.toolLocation), longText.substr(0, 127));
    EXPECT_EQ(std::string(info.firmwareHost), longText.substr(0, 127));
    EXPECT_EQ(std::string(info.firmwareFile), longText.substr(0, 127));
}

TEST_F(OnlineScriptTest, HostComesFromTheEnvironmentElseTheBuild)
{
    EXPECT_EQ(ServerListIndex("Vantor"), 0);
    EXPECT_EQ(ServerListIndex("Other"), 0);
    for (const char* set : {"", "127.0.0.1:4711", "-"}) {
        *set == '-' ? unsetenv("VANTOR_UPDATE_HOST") : setenv("VANTOR_UPDATE_HOST", set, 1);
        EXPECT_STREQ(UpdateServerHost(), *set == '1' ? set : "updates.vantor.invalid") << set;
    }
}

} // namespace
