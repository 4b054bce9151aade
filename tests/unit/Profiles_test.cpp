#include "ProfilePage.h"

#include <gtest/gtest.h>

using Profiles = ProfilePage;

TEST_F(Profiles, NamesAreUniqueWithoutRegardToLetterCase)
{
    ASSERT_NE(Add("Rally"), nullptr);
    EXPECT_EQ(Add("RALLY"), nullptr);
    EXPECT_EQ(Add("rally"), nullptr);
    EXPECT_NE(Add("Rally 2"), nullptr);
    EXPECT_EQ(app->profiles.Find("rALLY"), app->profiles.At(0));
    // Only a..z fold; other characters compare exactly.
    EXPECT_NE(Add("\xC9t\xE9"), nullptr);
    EXPECT_NE(Add("\xE9t\xE9"), nullptr);
    EXPECT_EQ(ComboNames(), (std::vector<std::string>{"Rally", "Rally 2", "\xC9t\xE9", "\xE9t\xE9"}));
}

TEST_F(Profiles, LongTextsAreCutTo63Characters)
{
    const std::string longName(100, 'n');
    GameProfile* profile = Add(longName.c_str(), std::string(80, 'p').c_str());
    ASSERT_NE(profile, nullptr);
    EXPECT_EQ(std::string(profile->name), std::string(63, 'n'));
    EXPECT_EQ(std::string(profile->processName), std::string(63, 'p'));
    // The cut name is the one that is taken.
    EXPECT_EQ(Add((std::string(63, 'n') + "x").c_str()), nullptr);
}

TEST_F(Profiles, AnEmptyListGetsDefaultWithTheCurrentValues)
{
    app->params[MainGain].value = 90;
    app->params[Filter].value = 7;
    FillProfileCombo(*app);
    ASSERT_EQ(app->profiles.Count(), 1);
    const GameProfile& profile = *app->profiles.At(0);
    EXPECT_STREQ(profile.name, "Default");
    EXPECT_STREQ(profile.processName, "NoLife.exe");
    EXPECT_EQ(profile.mainGain, 90);
    EXPECT_EQ(profile.filter, 7);
    EXPECT_EQ(ComboNames(), std::vector<std::string>{"Default"});
    EXPECT_EQ(Selection(), 0);
}

TEST_F(Profiles, SelectingClampsToTheLastEntryAndMovesTheTrackbars)
{
    Add("A");
    GameProfile* b = Add("B");
    b->maxAngle = 540;
    b->mainGain = -1; // a byte of 0xFF from the file
    b->wheelFlags = 0x05;
    b->filter = 200;
    FillProfileCombo(*app);
    SelectProfile(*app, 7);
    EXPECT_EQ(app->currentProfile, 1);
    EXPECT_EQ(Selection(), 1);
    EXPECT_EQ(app->params[MaxAngle].value, 540);
    EXPECT_EQ(Position(MaxAngle), 540);
    EXPECT_EQ(app->params[MainGain].value, -1);    // gains are sign-extended
    EXPECT_EQ(app->params[Filter].value, 200);     // filter and flags are not
    EXPECT_EQ(app->params[WheelFlags].value, 5);
    EXPECT_TRUE(controls.IsChecked(app->mainPage, 2121));
}

TEST_F(Profiles, StoringKeepsTheLowByteOfEachSettingAndTheWholeAngle)
{
    GameProfile* profile = Add("A");
    app->params[MaxAngle].value = 70000;
    app->params[MainGain].value = 0x17F;
    app->params[WheelFlags].value = 0x106;
    app->params[UserFxInertia].value = 200;
    StoreProfile(*app, *profile);
    EXPECT_EQ(profile->maxAngle, 70000u);
    EXPECT_EQ(profile->mainGain, 127);
    EXPECT_EQ(profile->wheelFlags, 6);
    EXPECT_EQ(profile->userInertia, -56);
}

TEST_F(Profiles, RemovingSelectsTheEntryBefore)
{
    for (const char* name : {"A", "B", "C", "D", "E"}) Add(name);
    FillProfileCombo(*app);

    RemoveProfile(*app, 3);
    EXPECT_EQ(ComboNames(), (std::vector<std::string>{"A", "B", "C", "E"}));
    EXPECT_EQ(Selection(), 2);
    EXPECT_EQ(app->currentProfile, 2);

    RemoveProfile(*app, 0);
    EXPECT_EQ(ComboNames(), (std::vector<std::string>{"B", "C", "E"}));
    EXPECT_EQ(Selection(), 0);
    EXPECT_STREQ(SelectedProfile(*app)->name, "B");
}
