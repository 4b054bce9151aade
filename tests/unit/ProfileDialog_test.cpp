#include "ProfilePage.h"

#include "ui/ProfileDialog.h"

namespace {

// The user's part of one dialog: what is typed, then Ok or Escape; and what
// the dialog showed before the typing and how it ended.
struct Typing {
    std::string name, processName;
    int button = 1;
    std::string shown{};
    int result = -2;
} g_typing;

int TypeIntoDialog(NativeHandle, int resourceId, DialogLogic& logic)
{
    EXPECT_EQ(resourceId, 184);
    static int dialog = 0;
    auto& controls = static_cast<RecordingControls&>(ActiveControls());
    logic.Init(&dialog);
    g_typing.shown = controls.TextOf(&dialog, ProfileNameEditId) + "|" + controls.TextOf(&dialog, ProcessNameEditId) +
                     (controls.IsEnabled(&dialog, ProfileNameEditId) ? "" : " (locked)");
    controls.SetText(&dialog, ProfileNameEditId, g_typing.name.c_str());
    controls.SetText(&dialog, ProcessNameEditId, g_typing.processName.c_str());
    return g_typing.result = logic.Command(&dialog, g_typing.button);
}

} // namespace

TEST_F(ProfilePage, ProfileDialogMakesUpdatesOrEditsAProfileAndSelectsIt)
{
    const std::string longName(63, 'x');
    // New or Edit, the typing and an answer; then the count, the selected profile, a message shown, the dialog open.
    const struct { bool edit; std::string name; const char* process; int button, answer; std::string then; } steps[] = {
        {false, "Other", "other.exe", 2, 6, "3 Rally|rally.exe"},
        {false, "a,b", "a.exe", 1, 6, "3 Rally|rally.exe, told, stays"},
        {false, "Fine", "bad,exe", 1, 6, "3 Rally|rally.exe, told, stays"},
        {true, "ignored", "rally2.exe", 1, 6, "3 Rally|rally2.exe"},
        {false, "RALLY", "new.exe", 1, 7, "3 Rally|rally2.exe, told"},
        {false, "default", "other.exe", 1, 6, "3 Default|other.exe, told"},
        {false, longName + "tail", "b.exe", 1, 6, "3 " + longName + "|b.exe, told"}, // cut before it is looked up
        {false, "Joe's Game", "joe's game.exe", 1, 6, "4 Joe's Game|joe's game.exe"},
    };
    ModalDialogRunner previous = UseModalDialogs(TypeIntoDialog);
    Add("Default", "NoLife.exe");
    Add("Rally", "rally.exe")->mainGain = 10;
    Add((longName + "cut").c_str(), "long.exe");
    FillProfileCombo(*app);
    SelectProfile(*app, 1);
    for (const auto& s : steps) {
        const std::size_t shown = controls.Messages().size();
        controls.SetMessageAnswer(s.answer);
        g_typing = {s.name, s.process, s.button};
        s.edit ? EditProfile(*app) : NewProfile(*app);
        const GameProfile* p = SelectedProfile(*app);
        EXPECT_EQ(std::to_string(app->profiles.Count()) + " " + (p ? std::string(p->name) + "|" + p->processName : "") +
                      (controls.Messages().size() > shown ? ", told" : "") + (g_typing.result == -1 ? ", stays" : ""),
                  s.then) << s.name;
        EXPECT_TRUE(p && app->params[MainGain].value == p->mainGain && !app->commandBusy) << s.name << " applied, idle";
        EXPECT_TRUE(!s.edit || g_typing.shown == "Rally|rally.exe (locked)") << g_typing.shown;
    }
    UseModalDialogs(previous);
    std::vector<std::string> told; // the text and style bits of each box shown
    for (const auto& box : controls.Messages()) told.push_back(box.text + " (" + std::to_string(box.style) + ")");
    EXPECT_EQ(told.at(0), "Profile and process names can't contain any of , = < > | ( ) \" nor // or /* nor a control "
                          "character, since they would not read back from the profiles file. (48)");
    EXPECT_EQ(told.at(2), "Profile already exists, do you want to update it ? (36)");
    std::vector<std::string> refused = {"a=b", "a<b", "a>b", "a|b", "(a)", "a\"b", "a//b", "a/*b"};
    for (int c = 1; c < 0x80; c = c == 0x1F ? 0x7F : c + 1) refused.push_back({'a', static_cast<char>(c), 'b'});
    for (const std::string& text : refused) EXPECT_FALSE(ProfileTextFitsFile(text.c_str())) << testing::PrintToString(text);
    EXPECT_TRUE(ProfileTextFitsFile("Caf\xE9 2"));
}
