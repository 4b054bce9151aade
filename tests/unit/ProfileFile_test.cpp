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
    game->mainGain = -5;
    game->filter = 255;
    app->profiles.Append("", "");
    SaveProfiles(*app);
    const std::string file =
        "// notes\r\n[GameProfiles]\r\nPROFILE=Default,NoLife.exe,0,900,127,127,127,127,127,127,127,127,0,0,0,0,16\r\n"
        "PROFILE=\"My Game\",\"joe's.exe\",0,1080,-5,127,127,127,127,127,127,127,0,0,0,0,255\r\n"
        "PROFILE=\"\",\"\",0,900,127,127,127,127,127,127,127,127,0,0,0,0,16\r\n\r\n[Mine]\r\nX=1\r\n";
    EXPECT_EQ(dir.Read("GameProfiles.ini"), file);
    LoadProfiles(*app);
    SaveProfiles(*app);
    EXPECT_EQ(dir.Read("GameProfiles.ini"), file) << "read and written again";
    // Values are cut to their fields, missing ones read as "Missing parameter" and 0; a name's second line is skipped.
    dir.Write("GameProfiles.ini", "[GameProfiles]\r\nPROFILE=A," + std::string(70, 'p') +
                                      ",0x105,70000,200,1,2,3,4,5,6,7,8,9,10,11,300\r\n"
                                      "PROFILE=Solo\r\nOTHER=1,2\r\nPROFILE=a,other.exe,1\r\n");
    LoadProfiles(*app);
    SaveProfiles(*app);
    EXPECT_EQ(dir.Read("GameProfiles.ini"),
              "[GameProfiles]\r\nPROFILE=A," + std::string(63, 'p') + ",5,4464,-56,1,2,3,4,5,6,7,8,9,10,11,44\r\n"
              "PROFILE=Solo,\"Missing parameter\",0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\r\n\r\n");
    EXPECT_TRUE(LogHas("GameProfiles: profile a is in the file twice, the later line is skipped"));
}
