#include "ProfilePage.h"

#include "ui/ProfileDialog.h"

#include <gtest/gtest.h>

namespace {

// The user's part of one dialog: what is typed, then Ok or Escape.
struct Typing {
    std::string name;
    std::string processName;
    int button = 1;
    int result = -2;
};
Typing g_typing;
RecordingControls* g_controls = nullptr;

int TypeIntoDialog(NativeHandle, int resourceId, DialogLogic& logic)
{
    EXPECT_EQ(resourceId, ProfileDialogId);
    static int dialog = 0;
    logic.Init(&dialog);
    if (g_controls->Get(&dialog, ProfileNameEditId) == nullptr || g_controls->Get(&dialog, ProfileNameEditId)->enabled) {
        g_controls->SetText(&dialog, ProfileNameEditId, g_typing.name.c_str());
    }
    g_controls->SetText(&dialog, ProcessNameEditId, g_typing.processName.c_str());
    g_typing.result = logic.Command(&dialog, g_typing.button);
    return g_typing.result;
}

class ProfileDialogTest : public ProfilePage {
protected:
    void SetUp() override
    {
        ProfilePage::SetUp();
        g_controls = &controls;
        previous_ = UseModalDialogs(TypeIntoDialog);
        Add("Default", "NoLife.exe");
        Add("Rally", "rally.exe");
        FillProfileCombo(*app);
    }
    void TearDown() override
    {
        UseModalDialogs(previous_);
        ProfilePage::TearDown();
    }
    void Type(const std::string& name, const std::string& processName, int button = 1)
    {
        g_typing = {name, processName, button, -2};
    }

private:
    ModalDialogRunner previous_ = nullptr;
};

} // namespace

TEST_F(ProfileDialogTest, NewProfileIsMadeWithDefaultsAndSelected)
{
    app->params[MainGain].value = 10;
    Type("Track Day", "track.exe");
    NewProfile(*app);
    EXPECT_EQ(g_typing.result, 1);
    ASSERT_EQ(app->profiles.Count(), 3);
    EXPECT_EQ(ComboNames().back(), "Track Day");
    EXPECT_EQ(Selection(), 2);
    EXPECT_EQ(app->params[MainGain].value, 127); // the new profile's defaults reach the trackbars
    EXPECT_EQ(app->commandBusy, 0);
}

TEST_F(ProfileDialogTest, ExistingNameInOtherCaseAsksToUpdateIt)
{
    controls.SetMessageAnswer(6); // Yes
    Type("default", "other.exe");
    NewProfile(*app);
    ASSERT_EQ(controls.Messages().size(), 1u);
    EXPECT_EQ(controls.Messages()[0].text, "Profile already exists, do you want to update it ?");
    EXPECT_EQ(controls.Messages()[0].style, 0x24u); // Yes/No, question icon
    EXPECT_EQ(app->profiles.Count(), 2);
    EXPECT_STREQ(app->profiles.At(0)->processName, "other.exe");
    EXPECT_STREQ(app->profiles.At(0)->name, "Default");
    EXPECT_EQ(Selection(), 0);
}

TEST_F(ProfileDialogTest, AnsweringNoChangesNothing)
{
    SelectProfile(*app, 1);
    controls.SetMessageAnswer(7); // No
    Type("RALLY", "new.exe");
    NewProfile(*app);
    EXPECT_EQ(g_typing.result, 0);
    EXPECT_STREQ(app->profiles.At(1)->processName, "rally.exe");
    EXPECT_EQ(app->profiles.Count(), 2);
}

TEST_F(ProfileDialogTest, EditChangesOnlyTheProcessName)
{
    SelectProfile(*app, 1);
    Type("ignored", "rally2.exe");
    EditProfile(*app);
    EXPECT_STREQ(app->profiles.At(1)->name, "Rally");
    EXPECT_STREQ(app->profiles.At(1)->processName, "rally2.exe");
    EXPECT_EQ(Selection(), 1);
}

TEST_F(ProfileDialogTest, EscapeChangesNothing)
{
    Type("Other", "other.exe", 2);
    NewProfile(*app);
    EXPECT_EQ(g_typing.result, 0);
    EXPECT_EQ(app->profiles.Count(), 2);
}

TEST_F(ProfileDialogTest, NamesTheFileWouldSplitAreRefusedAndTheDialogStays)
{
    for (const char* name : {"a,b", "a=b", "x<y", "x>y", "a|b", "Rally(2004)", "say \"hi\"", "a//b", "a/*b", "two\r\nlines", "tab\there"}) {
        Type(name, "game.exe");
        NewProfile(*app);
        EXPECT_EQ(g_typing.result, -1) << name;
    }
    Type("Fine name", "bad,exe");
    NewProfile(*app);
    EXPECT_EQ(g_typing.result, -1);
    EXPECT_EQ(app->profiles.Count(), 2);
    ASSERT_FALSE(controls.Messages().empty());
    EXPECT_NE(controls.Messages().back().text.find("can't contain"), std::string::npos);
    // Blanks and apostrophes are quoted in the file, so they are fine.
    Type("Joe's Game", "joe's game.exe");
    NewProfile(*app);
    EXPECT_EQ(g_typing.result, 1);
}

TEST_F(ProfileDialogTest, LongNamesAreCutBeforeTheyAreLookedUp)
{
    Type(std::string(100, 'x'), "a.exe");
    NewProfile(*app);
    Type(std::string(63, 'x') + "different tail", "b.exe");
    controls.SetMessageAnswer(6);
    NewProfile(*app);
    EXPECT_EQ(app->profiles.Count(), 3);
    EXPECT_STREQ(app->profiles.At(2)->processName, "b.exe");
}
