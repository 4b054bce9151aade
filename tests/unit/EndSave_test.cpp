#include "ExecRuntime.h"

#include "app/EndSave.h"
#include "profiles/Profiles.h"
#include "../support/Doubles.h"

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
        app->mainPage = &page;
        CreateProfile(*app, "Default", "NoLife.exe");
        rally = CreateProfile(*app, "Rally", "rally.exe");
        ui.controls.SelectComboItem(app->mainPage, ProfileComboId, 1);
        app->flags = 2;
        app->params[MaxAngle].value = 540;
        app->params[MainGain].value = 50;
    }
    bool Flags2() const { return dir.Read("config.ini").find("\r\nFLAGS=2\r\n") != std::string::npos; }

    Doubles ui;
    int page = 0;
    std::unique_ptr<AppContext> app = std::make_unique<AppContext>();
    GameProfile* rally = nullptr;
    bool saved = false;
};

} // namespace

TEST_F(EndSave, TheFirstCallOfARunWritesBothFilesWithTheSelectedProfileKeepsTheListAndReportsWhatFailed)
{
    SaveSettingsAndProfiles(*app, saved);
    EXPECT_TRUE(Flags2());
    EXPECT_EQ(dir.Read("GameProfiles.ini"), "[GameProfiles]\r\n"
                                            "PROFILE=Default,NoLife.exe,0,900,127,127,127,127,127,127,127,127,0,0,0,0,16\r\n"
                                            "PROFILE=Rally,rally.exe,0,540,50,0,0,0,0,0,0,0,0,0,0,0,0\r\n\r\n");
    // The program may go on (a session end): its combo still finds the profile.
    EXPECT_TRUE(app->profiles.Count() == 2 && SelectedProfile(*app) == rally && rally->mainGain == 50);
    app->flags = 0;
    std::filesystem::remove(dir.path() / "GameProfiles.ini");
    const UnsavedFiles again = SaveSettingsAndProfiles(*app, saved);
    EXPECT_FALSE(again.settings || again.profiles);
    EXPECT_TRUE(Flags2() && !std::filesystem::exists(dir.path() / "GameProfiles.ini")) << "a second call writes nothing";

    saved = false; // the next run, with a folder in the profiles file's place
    std::filesystem::create_directory(dir.path() / "GameProfiles.ini");
    const UnsavedFiles first = SaveSettingsAndProfiles(*app, saved);
    EXPECT_TRUE(!first.settings && first.profiles && !Flags2());
}
