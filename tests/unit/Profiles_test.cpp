#include "ProfilePage.h"

using Profiles = ProfilePage;

TEST_F(Profiles, AnEmptyListGetsDefaultWithTheBoardsValuesOnlyWhenTheyWereRead)
{
    for (int read : {0, 1}) {
        SCOPED_TRACE(read ? "board values read" : "no board");
        app = std::make_unique<AppContext>();
        app->mainPage = &page;
        for (auto [index, value] : {std::pair{MaxAngle, 1080}, {MainGain, 100}, {Filter, 31}, {WheelFlags, 5}}) {
            app->params[index].value = value;
        }
        app->paramsRead = static_cast<uint8_t>(read);
        app->currentProfile = 7;
        FillProfileCombo(*app);
        ASSERT_EQ(ComboNames(), std::vector<std::string>{"Default"});
        EXPECT_STREQ(app->profiles.At(0)->processName, "NoLife.exe");
        EXPECT_EQ(app->currentProfile, 0) << "the index is clamped to the last entry";
        EXPECT_EQ(app->params[MaxAngle].value, read ? 1080 : 900);
        EXPECT_EQ(app->params[MainGain].value, read ? 100 : 127);
        EXPECT_EQ(app->params[Filter].value, read ? 31 : 16);
        EXPECT_EQ(controls.IsChecked(&page, 2121), read == 1) << "Invert follows bit 0";
    }
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
