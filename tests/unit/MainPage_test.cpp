// The main page's profiles (the dialog, game detection) and its commands' bytes and messages.
#include "board/LinkState.h"
#include "board/WheelLink.h"
#include "controller/ControllerDiscovery.h"
#include "core/ProfileList.h"
#include "platform/MessageBoxStyle.h"
#include "platform/ProcessSnapshot.h"
#include "profiles/GameDetection.h"
#include "profiles/Profiles.h"
#include "ui/MainPage.h"
#include "ui/ProfileDialog.h"
#include "../support/Doubles.h"
#include "PtyBoard.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// An application context whose main page is a recorded dialog with every board parameter bound.
class ProfilePage : public ::testing::Test, protected AppPage {
protected:
    ProfilePage() { BindParams(*app, app->mainPage = &page); }

    GameProfile* Add(const char* name, const char* process = "game.exe") { return CreateProfile(*app, name, process); }
    int Selection() { return controls.ComboSelection(&page, ProfileComboId); }
    std::string Selected() { return SelectedProfile(*app) ? SelectedProfile(*app)->name : ""; }
    std::vector<std::string> ComboNames() { return controls.ComboTexts(&page, ProfileComboId); }

    RecordingControls& controls = ui.controls;
};

std::vector<std::string> g_running; // the processes game detection finds

// The main page's commands against a board played by the test on a pty as COM3.
class PageCommands : public ProfilePage {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(app->boardPort.Open(3, 115200));
        app->boardComPort = 3;
    }
    // The message is the text of the box shown, if any, and its style bits in brackets.
    void Press(int id, LinkState link, const Bytes& sent, const std::string& message = "")
    {
        SCOPED_TRACE(testing::Message() << "command " << id << " in link state " << link);
        app->linkState = link;
        app->commandBusy = 1;
        const std::size_t shown = controls.Messages().size();
        EXPECT_EQ(PageCommand(*app, id, &page), id != 4242);
        EXPECT_EQ(app->commandBusy, 0);
        EXPECT_EQ(board.Received(), sent);
        const auto& boxes = controls.Messages();
        ASSERT_EQ(boxes.size(), shown + !message.empty());
        if (message.empty()) return;
        EXPECT_EQ(boxes.back().text + " (" + std::to_string(boxes.back().style) + ")", message);
        EXPECT_EQ(boxes.back().owner, &page);
    }

    PtyBoard board{3};
};

} // namespace

TEST_F(ProfilePage, AnEmptyListGetsDefaultWithTheBoardsValuesOnlyWhenTheyWereRead)
{
    for (int read : {0, 1}) {
        SCOPED_TRACE(read ? "board values read" : "no board");
        app = std::make_unique<AppContext>();
        app->mainPage = &page;
        for (auto [index, value] : {std::pair{MaxAngle, 1080}, {MainGain, 100}, {Filter, 31}, {WheelFlags, 5}})
            app->params[index].value = value;
        app->paramsRead = static_cast<uint8_t>(read);
        app->currentProfile = 7;
        FillProfileCombo(*app);
        ASSERT_EQ(ComboNames(), std::vector<std::string>{"Default"});
        EXPECT_STREQ(app->profiles.At(0)->processName, "NoLife.exe");
        EXPECT_EQ(app->currentProfile, 0) << "the index is clamped to the last entry";
        EXPECT_EQ(std::tuple(app->params[MaxAngle].value, app->params[MainGain].value, app->params[Filter].value),
                  read ? std::tuple(1080, 100, 31) : std::tuple(900, 127, 16));
        EXPECT_EQ(controls.IsChecked(&page, 2121), read == 1) << "Invert follows bit 0";
    }
}

TEST_F(ProfilePage, NamesAreUniqueWithoutRegardToTheCaseOfAToZAndRemovingSelectsTheEntryBefore)
{
    for (const char* name : {"A", "A 2", "\xC9t\xE9", "\xE9t\xE9", "E"}) EXPECT_NE(Add(name), nullptr) << name;
    EXPECT_EQ(Add("a"), nullptr);
    FillProfileCombo(*app);
    RemoveProfile(*app, 3);
    EXPECT_EQ(ComboNames(), (std::vector<std::string>{"A", "A 2", "\xC9t\xE9", "E"}));
    EXPECT_EQ(std::pair(Selection(), app->currentProfile), std::pair(2, 2));
    RemoveProfile(*app, 0);
    EXPECT_EQ(ComboNames(), (std::vector<std::string>{"A 2", "\xC9t\xE9", "E"}));
    EXPECT_EQ(Selected(), "A 2");
}

TEST(ProfileList, PositionsOutsideTheListAreNone)
{
    ProfileList list;
    ASSERT_NE(list.Append("Rally", "rally.exe"), nullptr);
    EXPECT_TRUE(list.At(1) == nullptr && list.At(-1) == nullptr);
    list.Remove(1), list.Remove(-1);
    EXPECT_EQ(list.Count(), 1);
}

TEST_F(ProfilePage, GameDetectionSelectsTheProfileOfTheGameRunningLast)
{
    // The processes, the options, the entry selected before (-1 none) and the profile selected after two runs. Case
    // matters, an empty name never matches; of two profiles of one game and of two games the later one wins.
    const struct { std::vector<std::string> running; uint32_t flags; int selected; const char* ends; } runs[] = {
        {{"cmd.exe", "rally.exe"}, 2, 0, "Rally"}, {{"cmd.exe"}, 2, 5, "Rally"}, {{"rally.exe"}, 1, 0, "Default"},
        {{"rally.exe"}, 2, -1, ""}, {{"NoLife.exe"}, 2, 1, "Default"}, {{"game.exe", ""}, 2, 0, "Default"},
        {{"sim.exe"}, 2, 0, "Second"}, {{"rally.exe", "Game.exe"}, 2, 0, "Game"},
    };
    ProcessSnapshotter previous = UseProcessSnapshot([](std::vector<std::string>& names) {
        names = g_running;
        return true;
    });
    for (auto [name, process] : {std::pair{"Default", "NoLife.exe"}, {"Game", "Game.exe"}, {"Empty", ""},
                                 {"First", "sim.exe"}, {"Second", "sim.exe"}, {"Rally", "rally.exe"}}) {
        Add(name, process)->mainGain = static_cast<int8_t>(name[0]); // a value of its own
    }
    FillProfileCombo(*app);
    for (const auto& r : runs) {
        SelectProfile(*app, r.selected);
        g_running = r.running;
        app->flags = r.flags;
        DetectGame(*app);
        DetectGame(*app);
        EXPECT_EQ(Selected(), r.ends) << r.running.front() << " with options " << r.flags << " from " << r.selected;
        EXPECT_TRUE(!SelectedProfile(*app) || app->params[MainGain].value == SelectedProfile(*app)->mainGain);
    }
    UseProcessSnapshot(previous);
    Add("Tests", "unit_tests");
    DetectGame(*app);
    EXPECT_EQ(Selected(), "Tests") << "this program is among the running processes";
}

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
    // The user's part: what the dialog showed before the typing, the typing, Ok or Escape, and how it ended.
    const auto* step = &steps[0];
    std::string shown;
    int result = -2;
    ScriptedDialogs dialogs;
    dialogs.user[184] = [&](DialogLogic& logic, NativeHandle d) {
        shown = controls.TextOf(d, ProfileNameEditId) + "|" + controls.TextOf(d, ProcessNameEditId) +
                (controls.IsEnabled(d, ProfileNameEditId) ? "" : " (locked)");
        controls.SetText(d, ProfileNameEditId, step->name.c_str());
        controls.SetText(d, ProcessNameEditId, step->process);
        return result = logic.Command(d, step->button);
    };
    Add("Default", "NoLife.exe");
    Add("Rally", "rally.exe")->mainGain = 10;
    Add((longName + "cut").c_str(), "long.exe");
    FillProfileCombo(*app);
    SelectProfile(*app, 1);
    for (const auto& s : steps) {
        const std::size_t told = controls.Messages().size();
        controls.SetMessageAnswer(s.answer);
        step = &s, shown.clear(), result = -2;
        s.edit ? EditProfile(*app) : NewProfile(*app);
        const GameProfile* p = SelectedProfile(*app);
        EXPECT_EQ(std::to_string(app->profiles.Count()) + " " + (p ? std::string(p->name) + "|" + p->processName : "") +
                      (controls.Messages().size() > told ? ", told" : "") + (result == -1 ? ", stays" : ""),
                  s.then) << s.name;
        EXPECT_TRUE(p && app->params[MainGain].value == p->mainGain && !app->commandBusy) << s.name << " applied, idle";
        EXPECT_TRUE(!s.edit || shown == "Rally|rally.exe (locked)") << shown;
    }
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

TEST_F(PageCommands, ButtonsListsAndCheckBoxesActOnlyWhereTheyMayAndSayWhy)
{
    // Invert sets bit 0 of the wheel flags and flips bit 2, Manual sets bit 1, both sending them; two options' boxes.
    const struct { int id; bool checked; uint32_t flags; Bytes sent; } clicks[] = {
        {2126, true, 0, {'P', 34, 1, 2}}, {2121, true, 0, {'P', 34, 1, 7}}, {2121, false, 0, {'P', 34, 1, 2}},
        {2126, false, 0, {'P', 34, 1, 0}}, {2041, true, 1, {}}, {2128, true, 3, {}}, {2041, false, 2, {}},
    };
    for (const auto& c : clicks) {
        controls.SetChecked(&page, c.id, c.checked);
        Press(c.id, LinkWheelReady, c.sent);
        EXPECT_EQ(app->flags, c.flags) << c.id << (c.checked ? " on" : " off");
    }
    Press(2045, LinkConnected, {'r'});
    Press(2019, LinkWheelFound, {});
    Press(2019, LinkWheelReady, {'c', 'p', 4, 4}); // the centre offset is read back
    Press(2123, LinkConnected, {}, "Could find the wheel device, please connect it and check firmware version (64)");
    Press(2123, LinkWheelFound, {});
    Press(2078, LinkWheelFound, {}); // a dialog that this system does not show
    Press(4242, LinkWheelFound, {});
    for (const char* name : {"Default", "Rally"}) Add(name);
    controls.SelectComboItem(&page, ProfileComboId, 0);
    Press(2081, LinkWheelFound, {}, "You can't edit the default profile (48)");
    Press(2080, LinkWheelFound, {}, "You can't remove the default profile (48)");
    controls.SelectComboItem(&page, ProfileComboId, -1);
    Press(2081, LinkWheelFound, {});
    Press(2080, LinkWheelFound, {});
    controls.SelectComboItem(&page, ProfileComboId, 1);
    controls.SetMessageAnswer(MessageAnswerNo);
    Press(2080, LinkWheelFound, {}, "Are you sure ? (36)");
    SetProfileText(app->profiles.At(0)->name, "default"); // only "Default" itself is refused
    controls.SelectComboItem(&page, ProfileComboId, 0);
    controls.SetMessageAnswer(MessageAnswerYes);
    Press(2080, LinkDisconnected, {}, "Are you sure ? (36)");
    EXPECT_EQ(ComboNames(), std::vector<std::string>{"Rally"});
    for (uint8_t guid = 1; guid <= 2; ++guid) ui.input.Attach("", guid);
    ASSERT_EQ(InitControllers(*app, &page), 0);
    for (int i : {0, 1}) controls.AddComboItem(&page, 1042, "", i);
    controls.SelectComboItem(&page, 1042, 1);
    Press(1042, LinkWheelReady, {});
    EXPECT_EQ(app->currentController, ui.input.Handle(1));
    for (int port : {0, 3}) controls.AddComboItem(&page, WheelComPortComboId, "", port);
    controls.SelectComboItem(&page, WheelComPortComboId, 1);
    Press(WheelComPortComboId, LinkWheelReady, {}); // the port in use: no new probe
    controls.SelectComboItem(&page, WheelComPortComboId, 0);
    Press(WheelComPortComboId, LinkWheelReady, {});
    EXPECT_EQ(app->boardComPort, 0);
}

TEST_F(PageCommands, TheProfileChosenIsSentOnEveryNotificationAndTakesEveryTrackbarMove)
{
    Add("A")->mainGain = 10;
    GameProfile* profile = Add("B");
    profile->mainGain = 64;
    controls.SelectComboItem(&page, ProfileComboId, 1);
    app->linkState = LinkWheelReady;
    EXPECT_TRUE(PageCommand(*app, ProfileComboId, &page));
    EXPECT_EQ(app->currentProfile, 1);
    EXPECT_EQ(controls.TextOf(&page, 2029), "50 %");
    PageCommand(*app, ProfileComboId, &page);
    const Bytes sent = board.Received();
    EXPECT_EQ(sent.size(), 2 * (7u + 13u * 4u)) << "twice MaxAngle and thirteen one-byte values";
    EXPECT_EQ(Bytes(sent.begin(), sent.begin() + 11), (Bytes{'P', 8, 4, 0, 0, 3, 132, 'P', 17, 1, 64}));
    int stranger = 0;
    PageTrackbarScrolled(*app, &stranger);
    for (const auto& [position, label] : {std::pair{127, "100 %"}, {64, "50 %"}, {0, "0 %"}}) {
        controls.SetTrackbarPosition(&page, 2021, position);
        PageTrackbarScrolled(*app, app->params[MainGain].trackbar);
        EXPECT_EQ(controls.TextOf(&page, 2029), label);
        EXPECT_EQ(profile->mainGain, position);
    }
    EXPECT_EQ(board.Received(), (Bytes{'P', 17, 1, 127, 'P', 17, 1, 64, 'P', 17, 1, 0}));
    app->params[WheelFlags].value = 5; // set by a check box, which stores nothing itself
    PageTrackbarScrolled(*app, app->params[DesktopFxSpring].trackbar);
    EXPECT_EQ(profile->wheelFlags, 5) << "a trackbar outside the profile stores its values too";
}
