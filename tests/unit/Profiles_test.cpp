#include "ProfilePage.h"

using Profiles = ProfilePage;

TEST_F(Profiles, AnEmptyListGetsDefaultWithTheLowBytesOfTheValuesWhichAreThenWidenedAgain)
{
    for (auto [index, value] : {std::pair{MaxAngle, 70000}, {MainGain, 0x1FF}, {Filter, 200}, {WheelFlags, 0x105}}) {
        app->params[index].value = value;
    }
    app->currentProfile = 7;
    FillProfileCombo(*app);
    ASSERT_EQ(ComboNames(), std::vector<std::string>{"Default"});
    EXPECT_STREQ(app->profiles.At(0)->processName, "NoLife.exe");
    EXPECT_EQ(app->currentProfile, 0) << "the index is clamped to the last entry";
    EXPECT_EQ(Selection(), 0);
    EXPECT_EQ(Position(MaxAngle), 70000) << "the whole angle";
    EXPECT_EQ(app->params[MainGain].value, -1); // gains are sign-extended
    EXPECT_EQ(app->params[Filter].value, 200);  // filter and flags are not
    EXPECT_EQ(app->params[WheelFlags].value, 5);
    EXPECT_TRUE(controls.IsChecked(&page, 2121)) << "Invert follows bit 0";
}

TEST_F(Profiles, NamesAreUniqueWithoutRegardToTheCaseOfAToZAndRemovingSelectsTheEntryBefore)
{
    for (const char* name : {"A", "A 2", "\xC9t\xE9", "\xE9t\xE9", "E"}) EXPECT_NE(Add(name), nullptr) << name;
    EXPECT_EQ(Add("a"), nullptr);
    FillProfileCombo(*app);
    RemoveProfile(*app, 3);
    EXPECT_EQ(ComboNames(), (std::vector<std::string>{"A", "A 2", "\xC9t\xE9", "E"}));
    EXPECT_EQ(Selection(), 2);
    EXPECT_EQ(app->currentProfile, 2);
    RemoveProfile(*app, 0);
    EXPECT_EQ(ComboNames(), (std::vector<std::string>{"A 2", "\xC9t\xE9", "E"}));
    EXPECT_EQ(Selected(), "A 2");
}
