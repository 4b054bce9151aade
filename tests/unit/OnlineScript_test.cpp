// The online script read into what the update check offers.
#include "ExecRuntime.h"
#include "update/OnlineScript.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

class OnlineScriptTest : public ExecRuntime {
protected:
    OnlineScriptTest() { Start(); }
};

// Keys are read in either section; what is missing keeps its default or reads as missing (the text may end before
// the last value of a line); long texts are cut to their fields.
TEST_F(OnlineScriptTest, KeysAreReadInEitherSectionAndWhatIsMissingOrTooLongIsDefaultedOrCut)
{
    const std::string a(300, 'a'), a63(63, 'a'), a127(127, 'a');
    const std::pair<std::string, std::string> cases[] = {
        {"[SERVER]\r\nADRESS = 10.0.0.7\r\nPORT = 0x1F\r\nFW_VERSION = 1,2,3,4\r\n"
         "FW_UPDATE = 9,9,9,9, \"fw.example:8080\", \"wheel 0.67.hex\"\r\n[UPDATE]\r\nVERSION = 0, 0, 1, 0xFF\r\n"
         "UPDATE = 0,0,0,0, \"http://dl.example/tool/\", \"Vantor.zip\"\r\n",
         "10.0.0.7|31|1ff|1020304|http://dl.example/tool/1033/Vantor.zip|fw.example:8080|wheel 0.67.hex"},
        {"[OTHER]\r\nPORT = 1\r\n[SERVER]\r\nFW_UPDATE = 0,0,0,0, \"h\"", "192.168.0.250|4207|0|0||h|Missing parameter"},
        {"", "192.168.0.250|4207|0|0|||"},
        {"[UPDATE]\r\nADRESS = " + a + "\r\nUPDATE = 0,0,0,0, \"" + a + "\", \"f\"\r\nFW_UPDATE = 0,0,0,0, \"" + a + "\", \"" + a +
             "\"\r\n", a63 + "|4207|0|0|" + a127 + "|" + a127 + "|" + a127},
    };
    for (const auto& [script, fields] : cases) {
        ServerInfo info;
        EXPECT_TRUE(ParseOnlineScript("vt_servers.ini", script.data(), script.size(), info));
        char text[600];
        std::snprintf(text, sizeof text, "%s|%d|%x|%x|%s|%s|%s", info.address, info.port, info.toolVersion,
                      info.firmwareVersion, info.toolLocation, info.firmwareHost, info.firmwareFile);
        EXPECT_EQ(text, fields) << script.substr(0, 40);
    }
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
