#include "ExecRuntime.h"

#include "core/AppContext.h"
#include "profiles/ProfileFile.h"

#include <memory>
#include <string>

using ProfileFileTest = ExecRuntime;

TEST_F(ProfileFileTest, EveryProfileIsWrittenInListOrderAndReadBackIntoItsFields)
{
    ASSERT_TRUE(Start());
    auto app = std::make_unique<AppContext>();
    LoadProfiles(*app);
    SaveProfiles(*app);
    EXPECT_EQ(dir.Read("GameProfiles.ini"), "[GameProfiles]\r\n\r\n") << "no file, no profiles";
    dir.Write("GameProfiles.ini", "// notes\r\n[GameProfiles]\r\nPROFILE=Old,o.exe\r\n\r\n[Mine]\r\nX=1\r\n");
    app->profiles.Append("Default", "NoLife.exe");
    GameProfile* game = app->profiles.Append("My Game", "joe's.exe");
    game->maxAngle = 1080;
    game->mainGain = 5;
    game->filter = 31;
    app->profiles.Append("", "");
    SaveProfiles(*app);
    const std::string file =
        "// notes\r\n[GameProfiles]\r\nPROFILE=Default,NoLife.exe,0,900,127,127,127,127,127,127,127,127,0,0,0,0,16\r\n"
        "PROFILE=\"My Game\",\"joe's.exe\",0,1080,5,127,127,127,127,127,127,127,0,0,0,0,31\r\n"
        "PROFILE=\"\",\"\",0,900,127,127,127,127,127,127,127,127,0,0,0,0,16\r\n\r\n[Mine]\r\nX=1\r\n";
    EXPECT_EQ(dir.Read("GameProfiles.ini"), file);
    app->profiles.Clear();
    LoadProfiles(*app);
    SaveProfiles(*app);
    EXPECT_EQ(dir.Read("GameProfiles.ini"), file) << "read and written again";
    // Values are cut to their fields; missing ones and those outside their
    // range take a new profile's defaults, and the log names each; a
    // missing name reads "Missing parameter"; a name's second line is skipped.
    dir.Write("GameProfiles.ini", "[GameProfiles]\r\nPROFILE=A," + std::string(70, 'p') +
                                      ",0x105,70000,200,1,2,3,4,5,6,7,8,9,10,11,300\r\n"
                                      "PROFILE=Solo\r\nOTHER=1,2\r\nPROFILE=a,other.exe,1\r\nPROFILE=B,b.exe,8,540,-3,\"\"\r\n");
    app->profiles.Clear();
    LoadProfiles(*app);
    SaveProfiles(*app);
    EXPECT_EQ(dir.Read("GameProfiles.ini"),
              "[GameProfiles]\r\nPROFILE=A," + std::string(63, 'p') + ",5,900,127,1,2,3,4,5,6,7,8,9,10,11,16\r\n"
              "PROFILE=Solo,\"Missing parameter\",0,900,127,127,127,127,127,127,127,127,0,0,0,0,16\r\n"
              "PROFILE=B,b.exe,0,540,127,127,127,127,127,127,127,127,0,0,0,0,16\r\n\r\n");
    for (const char* line : {"Profile A: max angle 4464 is outside 180..2160, taking 900",
                             "Profile A: main gain -56 is outside 0..127, taking 127",
                             "Profile A: filter 44 is outside 1..31, taking 16", "Profile Solo: wheel flags is missing, taking 0",
                             "Profile B: wheel flags 8 is outside 0..7, taking 0", "Profile B: game spring is missing, taking 127"}) {
        EXPECT_TRUE(LogHas(line)) << line;
    }
    EXPECT_TRUE(LogHas("GameProfiles: profile a is in the file twice, the later line is skipped"));
}
