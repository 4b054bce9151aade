#include "BoardLinkFixture.h"

#include "profiles/Profiles.h"
#include "ui/MainPage.h"

#include <algorithm>
#include <string>
#include <vector>

// The main page and its link against boards that come late, go away, come
// back, answer slowly or talk before they answer.
namespace {

constexpr int GainLabel = 2043;
constexpr int AngleTrackbar = 2037;
constexpr int GainTrackbar = 2021;
using Options = std::vector<std::string>;

class LinkStates : public BoardLinkTest {
protected:
    void StartPage(uint8_t port)
    {
        app->boardComPort = port;
        InitMainPage(*app, app->mainPage);
    }
    int Position(int id) { return ui.controls.TrackbarPosition(app->mainPage, id); }
    void Notify(int id, int code) { PageNotified(*app, id, code, app->mainPage); }
    std::vector<std::string> Ports() { return ui.controls.ComboTexts(app->mainPage, WheelComPortComboId); }

    // The write frames of a parameter, in order, once everything sent so
    // far has reached the board.
    std::vector<std::string> Writes(WheelSim& sim, int number)
    {
        SendMarker(sim);
        std::vector<std::string> frames;
        const std::string head = "80," + std::to_string(number) + ",";
        for (const std::string& f : sim.Frames("write")) {
            if (f.rfind(head, 0) == 0) frames.push_back(f);
        }
        return frames;
    }
};

} // namespace

TEST_F(LinkStates, ABoardChosenAfterStartGetsTheDefaultProfileNeverZeros)
{
    StartPage(0);
    EXPECT_EQ(Label(GainLabel), "---");
    EXPECT_EQ(app->profiles.At(0)->maxAngle, 900u) << "no board values: the new-profile defaults";

    WheelSim& sim = StartBoard({"--status", "8", "--set", "8=540", "--set", "17=20"});
    Notify(WheelComPortComboId, ComboListOpening);
    const std::vector<std::string> ports = Ports();
    const auto com5 = std::find(ports.begin(), ports.end(), "COM5");
    ASSERT_NE(com5, ports.end()) << "a board plugged in after start is listed when the list opens";
    ui.controls.SelectComboItem(app->mainPage, WheelComPortComboId, static_cast<int>(com5 - ports.begin()));
    Notify(WheelComPortComboId, ComboSelectionChanged);

    EXPECT_EQ(Label(StatusTextId), "Wheel Found");
    EXPECT_EQ(Position(AngleTrackbar), 900) << "the profile's angle, not the board's 540";
    EXPECT_EQ(Position(GainTrackbar), 127);
    EXPECT_EQ(Writes(sim, 8), std::vector<std::string>{"80,8,4,0,0,3,132"}) << "900";
    EXPECT_EQ(Writes(sim, 17), std::vector<std::string>{"80,17,1,127"});
    PollWheel(*app, false);
    EXPECT_EQ(Label(StatusTextId), "Ready");
    EXPECT_EQ(Label(GainLabel), "---") << "the board has no gain source";
    EXPECT_EQ(app->profiles.At(0)->maxAngle, 900u);

    Notify(WheelComPortComboId, ComboListOpening);
    const int chosen = ui.controls.ComboSelection(app->mainPage, WheelComPortComboId);
    EXPECT_EQ(Ports().at(static_cast<std::size_t>(chosen)), "COM5")
        << "the port this program holds stays listed and chosen";
    ui.controls.SelectComboItem(app->mainPage, WheelComPortComboId, 0);
    Notify(WheelComPortComboId, ComboSelectionChanged);
    EXPECT_EQ(Label(StatusTextId), "Disconnected") << "None";
    EXPECT_FALSE(app->boardPort.IsOpen());
}

TEST_F(LinkStates, AnUnpluggedBoardIsDroppedAfterAGraceAndFoundAgainWithTheProfile)
{
    WheelSim* sim = &StartBoard({"--status", "8"});
    StartPage(BoardCom);
    PollWheel(*app, false);
    ASSERT_EQ(Label(StatusTextId), "Ready");

    sim->Stop();
    PollWheel(*app, false);
    EXPECT_EQ(std::pair(app->linkState, Label(StatusTextId)), std::pair(uint8_t{LinkWheelReady}, std::string("Wheel Ready")))
        << "one lost reply is not an unplugged board: the link state's text shows";
    PollWheel(*app, false);
    PollWheel(*app, false);
    EXPECT_EQ(app->linkState, LinkDisconnected);
    EXPECT_EQ(Label(StatusTextId), "Disconnected");
    EXPECT_EQ(Label(GainLabel), "---");

    sim = &StartBoard({"--status", "8", "--set", "17=20"});
    PollWheel(*app, false);
    EXPECT_EQ(Label(StatusTextId), "Ready");
    EXPECT_EQ(Writes(*sim, 17), std::vector<std::string>{"80,17,1,127"}) << "the selected profile goes to the board again";
    const std::vector<long> reads = sim->Numbers("read");
    EXPECT_EQ(std::count(reads.begin(), reads.end(), 36), 1) << "its set was read again";
}

TEST_F(LinkStates, EveryIdentifiedBoardShowsItsStatus)
{
    // Text with the answer's first letter ahead of the answer; a debug level that keeps the status exchange quiet.
    for (const std::vector<std::string>& options : {Options{"--debug-text", "Init done"}, Options{"--set", "16=1"}}) {
        SCOPED_TRACE(options[1]);
        FreshApp();
        StartBoard(options);
        StartPage(BoardCom);
        EXPECT_EQ(Label(StatusTextId), "Wheel Found");
    }
}

TEST_F(LinkStates, OnlyANewProfileSelectionAppliesAProfileAndFlagsGoIntoIt)
{
    WheelSim& sim = StartBoard({"--status", "8"});
    StartPage(BoardCom);
    const std::size_t sent = Writes(sim, 8).size();
    for (int code : {3, ComboListOpening, 8, 9, 4}) Notify(ProfileComboId, code);
    EXPECT_EQ(Writes(sim, 8).size(), sent) << "focus, drop-down and close-up send nothing";
    Notify(ProfileComboId, ComboSelectionChanged);
    EXPECT_EQ(Writes(sim, 8).size(), sent + 1);

    ui.controls.SetChecked(app->mainPage, 2121, true);
    Notify(2121, 0);
    EXPECT_EQ(app->profiles.At(0)->wheelFlags, 5) << "Invert (bit 0 and bit 2) is stored into the profile";
}
