#include "ExecRuntime.h"

#include "app/EndSave.h"
#include "core/AppContext.h"
#include "platform/RecordingControls.h"
#include "profiles/Profiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

// Two profiles in the main page's combo, "Rally" selected, and changed
// values on the trackbars, as at the end of a run.
class EndSave : public ExecRuntime {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Start());
        previous_ = UseControls(&controls);
        app->mainPage = &page_;
        CreateProfile(*app, "Default", "NoLife.exe");
        rally = CreateProfile(*app, "Rally", "rally.exe");
        controls.SelectComboItem(app->mainPage, ProfileComboId, 1);
        app->flags = 2;
        app->params[MaxAngle].value = 540;
        app->params[MainGain].value = 50;
    }
    void TearDown() override { UseControls(previous_); }

    RecordingControls controls;
    std::unique_ptr<AppContext> app = std::make_unique<AppContext>();
    GameProfile* rally = nullptr;
    bool saved = false;

private:
    int page_ = 0;
    Controls* previous_ = nullptr;
};

const char SavedProfiles[] = "[GameProfiles]\r\n"
                             "PROFILE=Default,NoLife.exe,0,900,127,127,127,127,127,127,127,127,0,0,0,0,16\r\n"
                             "PROFILE=Rally,rally.exe,0,540,50,0,0,0,0,0,0,0,0,0,0,0,0\r\n\r\n";

} // namespace

TEST_F(EndSave, WritesBothFilesWithTheSelectedProfileAndKeepsTheList)
{
    SaveSettingsAndProfiles(*app, saved);
    EXPECT_NE(dir.Read("config.ini").find("\r\nFLAGS=2\r\n"), std::string::npos);
    EXPECT_EQ(dir.Read("GameProfiles.ini"), SavedProfiles);
    // The program may go on (a session end): its combo still finds the profile.
    ASSERT_EQ(app->profiles.Count(), 2);
    EXPECT_EQ(SelectedProfile(*app), rally);
    EXPECT_EQ(rally->mainGain, 50);
}

TEST_F(EndSave, OnlyTheFirstCallOfARunWritesAndReportsWhatFailed)
{
    std::filesystem::create_directory(dir.path() / "GameProfiles.ini");
    const UnsavedFiles first = SaveSettingsAndProfiles(*app, saved);
    EXPECT_FALSE(first.settings);
    EXPECT_TRUE(first.profiles) << "a folder in the file's place";
    std::filesystem::remove(dir.path() / "GameProfiles.ini");
    app->flags = 0;
    const UnsavedFiles second = SaveSettingsAndProfiles(*app, saved);
    EXPECT_FALSE(second.settings || second.profiles);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "GameProfiles.ini"));
    EXPECT_NE(dir.Read("config.ini").find("\r\nFLAGS=2\r\n"), std::string::npos);
}

TEST_F(EndSave, ASecondCallWritesNothing)
{
    SaveSettingsAndProfiles(*app, saved);
    app->flags = 0;
    app->params[MainGain].value = 60;
    SaveSettingsAndProfiles(*app, saved);
    EXPECT_NE(dir.Read("config.ini").find("\r\nFLAGS=2\r\n"), std::string::npos);
    EXPECT_EQ(dir.Read("GameProfiles.ini"), SavedProfiles);
}
