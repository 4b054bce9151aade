#include "ProfilePage.h"

#include "board/LinkState.h"
#include "board/WheelLink.h"
#include "controller/ControllerDiscovery.h"
#include "platform/FakeGameInput.h"
#include "platform/MessageBoxStyle.h"
#include "ui/MainPage.h"

#include "PtyBoard.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The main page's commands against a board played by the test on a pty as
// COM3: the bytes each command puts on the wire and the message it shows.
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
    FakeGameInput input;
    GameInput* previous = UseGameInput(&input);
    for (uint8_t guid = 1; guid <= 2; ++guid) input.Attach("", guid);
    ASSERT_EQ(InitControllers(*app, &page), 0);
    for (int i : {0, 1}) controls.AddComboItem(&page, 1042, "", i);
    controls.SelectComboItem(&page, 1042, 1);
    Press(1042, LinkWheelReady, {});
    EXPECT_EQ(app->currentController, input.Handle(1));
    UseGameInput(previous);
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
