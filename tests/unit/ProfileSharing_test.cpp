// Game profiles shared as files from the main page: a file reaches the list
// only whole, a profile of a name the list holds is replaced only when the
// user says so, nothing is sent to the board, and an export has the bytes
// vantorctl writes.
#include "ExecRuntime.h"

#include "platform/MessageBoxStyle.h"
#include "profiles/ProfileFile.h"
#include "profiles/Profiles.h"
#include "ui/MainPage.h"
#include "../support/Doubles.h"

#include <string>
#include <vector>

namespace {

constexpr int ImportId = 2300, ExportId = 2301;
const std::string Rally = "PROFILE=Rally,rally.exe,1,540,77,10,11,12,13,14,15,16,1,2,3,4,20\r\n";
const std::string Dirt = "PROFILE=Dirt,dirt.exe,0,900,5,5,5,5,5,5,5,5,0,0,0,0,16\r\n";

std::string ProfileFile(const std::string& lines) { return "[GameProfiles]\r\n" + lines + "\r\n"; }

class ProfileSharing : public ExecRuntime, protected AppPage {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Start());
        app->mainPage = &page;
        BindParams(*app, &page);
        dir.Write("start.ini", ProfileFile("PROFILE=Default,NoLife.exe,0,900,127,127,127,127,127,127,127,127,0,0,0,0,16\r\n" +
                                           Rally));
        ASSERT_TRUE(ReadProfileFile(app->profiles, "start.ini"));
        app->currentProfile = 1;
        RefreshProfileCombo(*app, true);
    }
    // The command with the user's answer to its questions and the file chosen.
    void Command(int id, int answer, const std::string& file)
    {
        controls.SetMessageAnswer(answer);
        controls.ChooseFiles({(dir.path() / file).string()});
        PageCommand(*app, id, &page);
    }
    std::string LastMessage() const { return controls.Messages().empty() ? "" : controls.Messages().back().text; }
    std::vector<std::string> Names() { return controls.ComboTexts(&page, 1207); }

    RecordingControls& controls = ui.controls;
};

} // namespace

TEST_F(ProfileSharing, ExportWritesTheSelectedProfileOrAllAsVantorctlDoes)
{
    Command(ExportId, MessageAnswerNo, "one.ini");
    EXPECT_EQ(dir.Read("one.ini"), ProfileFile(Rally));
    EXPECT_EQ(controls.FileDialogs().back(), "save Export Game Profiles Rally.ini .ini");
    EXPECT_EQ(LastMessage(), "Export all 2 game profiles?\n\nNo exports the profile Rally alone.");
    Command(ExportId, MessageAnswerYes, "all.ini");
    EXPECT_EQ(dir.Read("all.ini"), dir.Read("start.ini"));
    RefreshProfileCombo(*app, false); // none selected: all, without a question
    const auto asked = controls.Messages().size();
    Command(ExportId, MessageAnswerNo, "unasked.ini");
    EXPECT_EQ(std::pair(controls.Messages().size(), dir.Read("unasked.ini")), std::pair(asked, dir.Read("start.ini")));
    RefreshProfileCombo(*app, true);
    Command(ExportId, MessageAnswerCancel, "none.ini");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "none.ini"));
    std::filesystem::create_directory(dir.path() / "folder.ini");
    Command(ExportId, MessageAnswerYes, "folder.ini");
    EXPECT_EQ(LastMessage(), "Could not write " + (dir.path() / "folder.ini").string());
}

TEST_F(ProfileSharing, ImportAddsAWholeFileAndReplacesOnlyWhatTheUserLetsItWithoutSendingAnything)
{
    const auto gain = app->params[MainGain].value;
    // A damaged file is refused whole, each damaged line named.
    dir.Write("bad.ini", ProfileFile(Dirt + "PROFILE=A,a.exe,0,900,300,1,1,1,1,1,1,1,0,0,0,0,16\r\n"
                                            "PROFILE=B\x07,b.exe,0,900,1,1,1,1,1,1,1,1,0,0,0,0\r\n"));
    Command(ImportId, MessageAnswerYes, "bad.ini");
    EXPECT_EQ(LastMessage(), "The file " + (dir.path() / "bad.ini").string() + " was not imported:\n"
                             "A: main gain 300 is outside 0..127\nB\x07: filter is missing\n"
                             "B\x07: the name holds the control character 0x07");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Default", "Rally"}));
    std::string many;
    for (int i = 0; i < 22; ++i) many += "PROFILE=P" + std::to_string(i) + ",p.exe,0,900\r\n";
    dir.Write("many.ini", ProfileFile(many));
    Command(ImportId, MessageAnswerYes, "many.ini");
    EXPECT_EQ(LastMessage().substr(LastMessage().rfind('\n')), "\n... and 266 more") << "twenty of the 22 × 13 missing values";

    // A profile of a name the list holds is asked about: kept at No, replaced at Yes.
    const std::string rally2 = "PROFILE=rally,r2.exe,0,720,5,5,5,5,5,5,5,5,0,0,0,0,16\r\n";
    dir.Write("two.ini", ProfileFile(Dirt + rally2));
    Command(ImportId, MessageAnswerNo, "two.ini");
    EXPECT_EQ(LastMessage(), "There is a profile named Rally already. Replace it with the one from the file?");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Default", "Rally", "Dirt"}));
    EXPECT_EQ(app->profiles.Find("Rally")->mainGain, 77);
    EXPECT_EQ(controls.ComboSelection(&page, 1207), 1) << "still the profile in use";
    app->profiles.Remove(2);
    Command(ImportId, MessageAnswerYes, "two.ini");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Default", "rally", "Dirt"}));
    EXPECT_EQ(app->profiles.Find("Rally")->maxAngle, 720);
    // The profile in use was replaced: none is selected until the user picks one.
    EXPECT_EQ(controls.ComboSelection(&page, 1207), -1);
    EXPECT_EQ(app->params[MainGain].value, gain) << "nothing applied";
    EXPECT_EQ(controls.FileDialogs().back(), "open Import Game Profiles  .ini");
}
