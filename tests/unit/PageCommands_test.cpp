#include "core/AppContext.h"
#include "board/LinkState.h"
#include "board/ParamDisplay.h"
#include "board/WheelLink.h"
#include "controller/ControllerDiscovery.h"
#include "platform/FakeGameInput.h"
#include "platform/MessageBoxStyle.h"
#include "platform/RecordingControls.h"
#include "profiles/Profiles.h"
#include "ui/MainPage.h"

#include "FakeClock.h"
#include "PtyBoard.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <utility>
#include <string>
#include <vector>

namespace {

constexpr uint8_t BoardCom = 3;

// The main page's commands against a board played by the test on a pty:
// the bytes each command puts on the wire.
class PageCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = UseControls(&controls);
        app = std::make_unique<AppContext>();
        app->mainPage = &page;
        for (int i = 0; i < ParamCount; ++i) {
            const ParamDefinition& d = ParamSet[i];
            BindControl(app->params[i], d.trackbarId != 0 ? &page : nullptr, d.trackbarId, d.labelId, d.number,
                        d.widthCode, d.minimum, d.maximum, d.tickStep, d.displayKind, d.unit);
        }
        ASSERT_TRUE(app->boardPort.Open(BoardCom, 115200));
        app->boardComPort = BoardCom;
        app->linkState = LinkWheelReady;
    }
    void TearDown() override
    {
        app.reset();
        UseControls(previous_);
    }

    bool Command(int id) { return PageCommand(*app, id, &page); }

    void Click(int id, bool checked)
    {
        controls.SetChecked(&page, id, checked);
        Command(id);
    }

    std::vector<uint8_t> Sent() { return board.Received(); }

    PtyBoard board{BoardCom};
    std::unique_ptr<FakeClock> clock = std::make_unique<FakeClock>(1);
    RecordingControls controls;
    std::unique_ptr<AppContext> app;
    int page = 0;

private:
    Controls* previous_ = nullptr;
};

using Bytes = std::vector<uint8_t>;

} // namespace

TEST_F(PageCommands, InvertSetsBitZeroFlipsBitTwoAndSendsTheFlags)
{
    app->params[WheelFlags].value = 0x02;
    Click(2121, true);
    EXPECT_EQ(app->params[WheelFlags].value, 0x07);
    EXPECT_EQ(Sent(), (Bytes{'P', 34, 1, 0x07}));
}

TEST_F(PageCommands, InvertTwiceLeavesTheFlagsAsTheyWere)
{
    app->params[WheelFlags].value = 0x04;
    Click(2121, true);
    EXPECT_EQ(app->params[WheelFlags].value, 0x01);
    Click(2121, false);
    EXPECT_EQ(app->params[WheelFlags].value, 0x04);
    EXPECT_EQ(Sent(), (Bytes{'P', 34, 1, 0x01, 'P', 34, 1, 0x04}));
}

TEST_F(PageCommands, ManualFollowsItsCheckBoxInBitOne)
{
    Click(2126, true);
    EXPECT_EQ(app->params[WheelFlags].value, 0x02);
    Click(2126, false);
    EXPECT_EQ(app->params[WheelFlags].value, 0x00);
    EXPECT_EQ(Sent(), (Bytes{'P', 34, 1, 0x02, 'P', 34, 1, 0x00}));
}

TEST_F(PageCommands, OptionBoxesSetTheirFlagsBitsAndSendNothing)
{
    app->flags = 0x10;
    Click(2041, true);
    Click(2128, true);
    EXPECT_EQ(app->flags, 0x13u);
    Click(2041, false);
    EXPECT_EQ(app->flags, 0x12u);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(PageCommands, CalibrateSendsTheByteInEveryState)
{
    app->linkState = LinkConnected;
    Command(2045);
    EXPECT_EQ(Sent(), Bytes{'r'});
}

TEST_F(PageCommands, CenterOnlyWhileTheWheelIsReady)
{
    // The real pause after 'c' lets the byte leave before the read-back
    // purges the line.
    clock.reset();
    app->linkState = LinkWheelFound;
    Command(2019);
    EXPECT_TRUE(Sent().empty());
    app->linkState = LinkWheelReady;
    Command(2019);
    // 'c', then the centre offset is read back.
    EXPECT_EQ(Sent(), (Bytes{'c', 'p', 4, 4}));
}

TEST_F(PageCommands, ChoosingNoneStoresPortZeroAndTheSamePortDoesNotReconnect)
{
    controls.AddComboItem(&page, WheelComPortComboId, "None", 0);
    controls.AddComboItem(&page, WheelComPortComboId, "COM3", 3);
    controls.SelectComboItem(&page, WheelComPortComboId, 1);
    Command(WheelComPortComboId);
    EXPECT_TRUE(Sent().empty()) << "no probe for the port in use";
    controls.SelectComboItem(&page, WheelComPortComboId, 0);
    Command(WheelComPortComboId);
    EXPECT_EQ(app->boardComPort, 0);
}

TEST_F(PageCommands, AdvancedSettingsBelowWheelFoundExplainsWhy)
{
    app->linkState = LinkConnected;
    Command(2123);
    ASSERT_EQ(controls.Messages().size(), 1u);
    EXPECT_EQ(controls.Messages()[0].text, "Could find the wheel device, please connect it and check firmware version");
    EXPECT_EQ(controls.Messages()[0].style, MessageIconInformation);
    EXPECT_EQ(controls.Messages()[0].owner, &page);
    app->linkState = LinkWheelFound;
    Command(2123);
    EXPECT_EQ(controls.Messages().size(), 1u);
}

TEST_F(PageCommands, DefaultProfileCannotBeEditedOrRemoved)
{
    CreateProfile(*app, "Default", "NoLife.exe");
    controls.SelectComboItem(&page, ProfileComboId, 0);
    Command(2081);
    Command(2080);
    ASSERT_EQ(controls.Messages().size(), 2u);
    EXPECT_EQ(controls.Messages()[0].text, "You can't edit the default profile");
    EXPECT_EQ(controls.Messages()[0].style, MessageIconExclamation);
    EXPECT_EQ(controls.Messages()[1].text, "You can't remove the default profile");
}

TEST_F(PageCommands, RemovingAnotherProfileAsksFirst)
{
    CreateProfile(*app, "default", "a.exe");
    CreateProfile(*app, "Rally", "rally.exe");
    controls.SelectComboItem(&page, ProfileComboId, 1);
    controls.SetMessageAnswer(MessageAnswerNo);
    Command(2080);
    ASSERT_EQ(controls.Messages().size(), 1u);
    EXPECT_EQ(controls.Messages()[0].text, "Are you sure ?");
    EXPECT_EQ(controls.Messages()[0].style, MessageYesNo | MessageIconQuestion);
    EXPECT_EQ(app->profiles.Count(), 2);
    controls.SetMessageAnswer(MessageAnswerYes);
    Command(2080);
    EXPECT_EQ(app->profiles.Count(), 1);
    EXPECT_EQ(controls.ComboTexts(&page, ProfileComboId), std::vector<std::string>{"default"});
}

TEST_F(PageCommands, EditAndRemoveWithoutASelectedProfileDoNothing)
{
    Command(2081);
    Command(2080);
    EXPECT_TRUE(controls.Messages().empty());
}

TEST_F(PageCommands, ProfileChoiceBecomesTheCurrentProfile)
{
    CreateProfile(*app, "A", "a.exe")->mainGain = 10;
    CreateProfile(*app, "B", "b.exe")->mainGain = 64;
    controls.SelectComboItem(&page, ProfileComboId, 1);
    Command(ProfileComboId);
    EXPECT_EQ(app->currentProfile, 1);
    EXPECT_EQ(controls.TextOf(&page, 2029), "50 %") << "the profile's values reach the trackbars";
}

TEST_F(PageCommands, EveryNotificationOfTheProfileComboSendsTheProfileAgain)
{
    CreateProfile(*app, "Rally", "rally.exe");
    controls.SelectComboItem(&page, ProfileComboId, 0);
    Command(ProfileComboId);
    const Bytes sent = Sent();
    const std::size_t once = sent.size();
    EXPECT_EQ(once, 7u + 13u * 4u) << "MaxAngle and thirteen one-byte values";
    EXPECT_EQ(Bytes(sent.begin(), sent.begin() + 11), (Bytes{'P', 8, 4, 0, 0, 3, 132, 'P', 17, 1, 127}));
    Command(ProfileComboId);
    EXPECT_EQ(Sent().size(), once) << "a drop-down sends them all again";
}

TEST_F(PageCommands, ControllerChoiceMakesItCurrent)
{
    FakeGameInput input;
    GameInput* previous = UseGameInput(&input);
    input.Attach("Pedals", 1);
    input.Attach("Wheel", 2);
    ASSERT_EQ(InitControllers(*app, &page), 0);
    controls.AddComboItem(&page, 1042, "Pedals", 0);
    controls.AddComboItem(&page, 1042, "Wheel", 1);
    controls.SelectComboItem(&page, 1042, 1);
    EXPECT_TRUE(Command(1042));
    EXPECT_EQ(app->currentController, input.Handle(1));
    UseGameInput(previous);
}

TEST_F(PageCommands, CommandBusyIsClearedOnEveryExit)
{
    app->commandBusy = 1;
    EXPECT_TRUE(Command(2045));
    EXPECT_EQ(app->commandBusy, 0);
    app->commandBusy = 1;
    EXPECT_FALSE(Command(4242)) << "not a command of the page";
    EXPECT_EQ(app->commandBusy, 0);
}

TEST_F(PageCommands, DraggingMainGainSendsEachPositionAndShowsThePercentage)
{
    ParamControl& gain = app->params[MainGain];
    const std::pair<int, const char*> steps[] = {{127, "100 %"}, {64, "50 %"}, {0, "0 %"}};
    for (const auto& [position, label] : steps) {
        controls.SetTrackbarPosition(&page, 2021, position);
        PageTrackbarScrolled(*app, gain.trackbar);
        EXPECT_EQ(controls.TextOf(&page, 2029), label);
    }
    EXPECT_EQ(gain.value, 0);
    EXPECT_EQ(Sent(), (Bytes{'P', 17, 1, 127, 'P', 17, 1, 64, 'P', 17, 1, 0}));
}

TEST_F(PageCommands, TrackbarMoveIsCopiedIntoTheSelectedProfile)
{
    GameProfile* profile = CreateProfile(*app, "Rally", "rally.exe");
    controls.SelectComboItem(&page, ProfileComboId, 0);
    controls.SetTrackbarPosition(&page, 2021, 33);
    PageTrackbarScrolled(*app, app->params[MainGain].trackbar);
    EXPECT_EQ(profile->mainGain, 33);
}

TEST_F(PageCommands, TrackbarOutsideTheProfileStillStoresTheFifteenValues)
{
    GameProfile* profile = CreateProfile(*app, "Rally", "rally.exe");
    controls.SelectComboItem(&page, ProfileComboId, 0);
    app->params[MaxAngle].value = 540;
    app->params[UserFxDamper].value = 12;
    app->params[WheelFlags].value = 5; // set by the check boxes, which store nothing themselves
    controls.SetTrackbarPosition(&page, 2032, 99);
    PageTrackbarScrolled(*app, app->params[DesktopFxSpring].trackbar);
    EXPECT_EQ(profile->maxAngle, 540u);
    EXPECT_EQ(profile->userDamper, 12);
    EXPECT_EQ(profile->wheelFlags, 5);
}

TEST_F(PageCommands, ScrollOfAnUnknownWindowIsIgnored)
{
    int stranger = 0;
    PageTrackbarScrolled(*app, &stranger);
    EXPECT_TRUE(Sent().empty());
}
