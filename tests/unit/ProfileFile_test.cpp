#include "ExecRuntime.h"

#include "core/AppContext.h"
#include "profiles/ProfileFile.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class ProfileFileTest : public ExecRuntime {
protected:
    void SetUp() override { ASSERT_TRUE(Start()); }
    std::unique_ptr<AppContext> app = std::make_unique<AppContext>();
};

const char DefaultLine[] = "PROFILE=Default,NoLife.exe,0,900,127,127,127,127,127,127,127,127,0,0,0,0,16\r\n";

} // namespace

TEST_F(ProfileFileTest, DefaultProfileIsWrittenByteForByte)
{
    app->profiles.Append("Default", "NoLife.exe");
    SaveProfiles(*app);
    EXPECT_EQ(dir.Read("GameProfiles.ini"), std::string("[GameProfiles]\r\n") + DefaultLine + "\r\n");
    EXPECT_TRUE(app->profiles.Empty()); // released after writing
}

TEST_F(ProfileFileTest, NoProfilesWritesTheHeaderAndTheEmptyLine)
{
    SaveProfiles(*app);
    EXPECT_EQ(dir.Read("GameProfiles.ini"), "[GameProfiles]\r\n\r\n");
}

TEST_F(ProfileFileTest, NameWithABlankIsQuotedAndReadsBackAsOneValue)
{
    GameProfile* profile = app->profiles.Append("My Game", "my game.exe");
    profile->mainGain = -5;
    profile->maxAngle = 1080;
    SaveProfiles(*app);
    EXPECT_EQ(dir.Read("GameProfiles.ini"),
              "[GameProfiles]\r\nPROFILE=\"My Game\",\"my game.exe\",0,1080,-5,127,127,127,127,127,127,127,"
              "0,0,0,0,16\r\n\r\n");
    LoadProfiles(*app);
    ASSERT_EQ(app->profiles.Count(), 1);
    EXPECT_STREQ(app->profiles.At(0)->name, "My Game");
    EXPECT_STREQ(app->profiles.At(0)->processName, "my game.exe");
    EXPECT_EQ(app->profiles.At(0)->mainGain, -5);
    EXPECT_EQ(app->profiles.At(0)->maxAngle, 1080u);
}

TEST_F(ProfileFileTest, ValuesAreCutToTheirFieldWidths)
{
    dir.Write("GameProfiles.ini", "[GameProfiles]\r\nPROFILE=A,a.exe,0x105,70000,200,1,2,3,4,5,6,7,8,9,10,11,300\r\n");
    LoadProfiles(*app);
    ASSERT_EQ(app->profiles.Count(), 1);
    const GameProfile& p = *app->profiles.At(0);
    EXPECT_EQ(p.wheelFlags, 5);
    EXPECT_EQ(p.maxAngle, 4464u); // the low 16 bits of 70000
    EXPECT_EQ(p.mainGain, -56);
    EXPECT_EQ(p.forceTable, 7);
    EXPECT_EQ(p.userInertia, 11);
    EXPECT_EQ(p.filter, 44);
}

TEST_F(ProfileFileTest, MissingValuesReadAsMissingParameterAndZero)
{
    dir.Write("GameProfiles.ini", "[GameProfiles]\r\nPROFILE=Solo\r\nOTHER=1,2\r\n");
    LoadProfiles(*app);
    ASSERT_EQ(app->profiles.Count(), 1);
    const GameProfile& p = *app->profiles.At(0);
    EXPECT_STREQ(p.name, "Solo");
    EXPECT_STREQ(p.processName, "Missing parameter");
    EXPECT_EQ(p.maxAngle, 0u);
    EXPECT_EQ(p.mainGain, 0);
    EXPECT_EQ(p.filter, 0);
}

TEST_F(ProfileFileTest, SecondLineOfTheSameNameIsSkippedAndLogged)
{
    dir.Write("GameProfiles.ini", std::string("[GameProfiles]\r\n") + DefaultLine +
                                      "PROFILE=DEFAULT,other.exe,1,180,1,1,1,1,1,1,1,1,1,1,1,1,1\r\n");
    LoadProfiles(*app);
    ASSERT_EQ(app->profiles.Count(), 1);
    EXPECT_STREQ(app->profiles.At(0)->processName, "NoLife.exe");
    EXPECT_EQ(app->profiles.At(0)->maxAngle, 900u);
    EXPECT_TRUE(LogHas("GameProfiles: profile DEFAULT is in the file twice, the later line is skipped"));
}

TEST_F(ProfileFileTest, MissingFileLeavesTheListEmptyAndRewriteKeepsOtherSections)
{
    LoadProfiles(*app);
    EXPECT_TRUE(app->profiles.Empty());
    dir.Write("GameProfiles.ini", "// my notes\r\n[GameProfiles]\r\nPROFILE=Old,o.exe\r\n\r\n[Mine]\r\nX=1\r\n");
    app->profiles.Append("Default", "NoLife.exe");
    SaveProfiles(*app);
    EXPECT_EQ(dir.Read("GameProfiles.ini"),
              std::string("// my notes\r\n[GameProfiles]\r\n") + DefaultLine + "\r\n[Mine]\r\nX=1\r\n");
}

TEST_F(ProfileFileTest, ProfilesSurviveARoundTrip)
{
    GameProfile* a = app->profiles.Append("Joe's", "joe.exe");
    a->userDamper = -128;
    a->filter = 31;
    app->profiles.Append("", "");
    SaveProfiles(*app);
    LoadProfiles(*app);
    ASSERT_EQ(app->profiles.Count(), 2);
    EXPECT_STREQ(app->profiles.At(0)->name, "Joe's");
    EXPECT_EQ(app->profiles.At(0)->userDamper, -128);
    EXPECT_EQ(app->profiles.At(0)->filter, 31);
    EXPECT_STREQ(app->profiles.At(1)->name, "");
    EXPECT_STREQ(app->profiles.At(1)->processName, "");
}
