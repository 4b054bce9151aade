#include "BoardLinkFixture.h"
#include "LogFields.h"

#include "board/LinkState.h"
#include "board/WheelLink.h"
#include "platform/FakeGameInput.h"
#include "profiles/Profiles.h"
#include "ui/MainPage.h"

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

// The main page and its link against boards that come late, go away, come
// back, answer slowly or talk before they answer.
namespace {

constexpr int GainLabel = 2043;
constexpr int AngleTrackbar = 2037;
constexpr int GainTrackbar = 2021;

class LinkStates : public BoardLinkTest {
protected:
    void SetUp() override
    {
        BoardLinkTest::SetUp();
        previousInput_ = UseGameInput(&input_);
        app = std::make_unique<AppContext>();
    }
    void TearDown() override
    {
        UseGameInput(previousInput_);
        BoardLinkTest::TearDown();
    }

    void StartPage(uint8_t port)
    {
        app->boardComPort = port;
        InitMainPage(*app, &page);
    }
    std::string Text(int id) { return controls.TextOf(&page, id); }
    int Position(int id) { return controls.TrackbarPosition(&page, id); }
    void Notify(int id, int code) { PageNotified(*app, id, code, &page); }

    // The values written to a parameter, in order, once everything sent
    // so far has reached the board.
    std::vector<long> Writes(WheelSim& sim, int number)
    {
        SendMarker(sim);
        std::vector<long> values;
        for (const std::string& line : sim.LogLinesWith("\"kind\":\"write\"")) {
            if (LogField(line, "number") == number) values.push_back(LogField(line, "value"));
        }
        return values;
    }

    // Waits up to a second for the count of log lines with the text.
    static bool Logged(const WheelSim& sim, const char* text, std::size_t count)
    {
        for (int i = 0; i < 100 && sim.LogLinesWith(text).size() < count; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return sim.LogLinesWith(text).size() >= count;
    }

    int page = 0;

private:
    FakeGameInput input_;
    GameInput* previousInput_ = nullptr;
};

} // namespace

TEST_F(LinkStates, ABoardChosenAfterStartGetsTheDefaultProfileNeverZeros)
{
    StartPage(0);
    EXPECT_EQ(Text(GainLabel), "---");
    const GameProfile& made = *app->profiles.At(0);
    EXPECT_EQ(made.maxAngle, 900u) << "no board values: the new-profile defaults";
    EXPECT_EQ(made.mainGain, 127);
    EXPECT_EQ(made.filter, 16);

    WheelSim& sim = StartBoard({"--status", "8", "--set", "8=540", "--set", "17=20"});
    Notify(WheelComPortComboId, ComboListOpening);
    const std::vector<std::string> ports = controls.ComboTexts(&page, WheelComPortComboId);
    const auto com5 = std::find(ports.begin(), ports.end(), "COM5");
    ASSERT_NE(com5, ports.end()) << "a board plugged in after start is listed when the list opens";
    controls.SelectComboItem(&page, WheelComPortComboId, static_cast<int>(com5 - ports.begin()));
    Notify(WheelComPortComboId, ComboSelectionChanged);

    EXPECT_EQ(Text(StatusTextId), "Wheel Found");
    EXPECT_EQ(Position(AngleTrackbar), 900) << "the profile's angle, not the board's 540";
    EXPECT_EQ(Position(GainTrackbar), 127);
    EXPECT_EQ(Writes(sim, 8), std::vector<long>{900});
    EXPECT_EQ(Writes(sim, 17), std::vector<long>{127});
    PollWheel(*app, false);
    EXPECT_EQ(Text(StatusTextId), "Ready");
    EXPECT_EQ(Text(GainLabel), "---") << "the board has no gain source";
    EXPECT_EQ(app->profiles.At(0)->maxAngle, 900u);

    Notify(WheelComPortComboId, ComboListOpening);
    const std::vector<std::string> held = controls.ComboTexts(&page, WheelComPortComboId);
    EXPECT_EQ(held.at(static_cast<std::size_t>(controls.ComboSelection(&page, WheelComPortComboId))), "COM5")
        << "the port this program holds stays listed and chosen";
    controls.SelectComboItem(&page, WheelComPortComboId, 0);
    Notify(WheelComPortComboId, ComboSelectionChanged);
    EXPECT_EQ(Text(StatusTextId), "Disconnected") << "None";
    EXPECT_FALSE(app->boardPort.IsOpen());
}

TEST_F(LinkStates, AnUnpluggedBoardIsDroppedAfterAGraceAndFoundAgainWithTheProfile)
{
    WheelSim* sim = &StartBoard({"--status", "8"});
    StartPage(BoardCom);
    PollWheel(*app, false);
    ASSERT_EQ(Text(StatusTextId), "Ready");

    sim->Stop();
    PollWheel(*app, false);
    EXPECT_EQ(app->linkState, LinkWheelReady) << "one lost reply is not an unplugged board";
    PollWheel(*app, false);
    PollWheel(*app, false);
    EXPECT_EQ(app->linkState, LinkDisconnected);
    EXPECT_EQ(Text(StatusTextId), "Disconnected");
    EXPECT_EQ(Text(GainLabel), "---");

    sim = &StartBoard({"--status", "8", "--set", "17=20"});
    PollWheel(*app, false);
    EXPECT_EQ(Text(StatusTextId), "Ready");
    EXPECT_EQ(Writes(*sim, 17), std::vector<long>{127}) << "the selected profile goes to the board again";
    EXPECT_EQ(sim->LogLinesWith("\"number\":36").size(), 1u) << "its set was read again";
}

TEST_F(LinkStates, ALateReplyIsNeverTakenForTheNextRequest)
{
    WheelSim& sim = StartBoard({"--slow", "150"});
    for (ParamControl& record : app->params) record.value = 77;
    app->params[DebugLevel].value = 0;
    ASSERT_TRUE(ConnectWheel(*app, BoardCom));
    for (int i = 0; i < DebugLevel; ++i) EXPECT_EQ(app->params[i].value, 77) << "a read not believed keeps its value";
    EXPECT_EQ(app->paramsRead, 0);
    PollWheel(*app, false);
    EXPECT_TRUE(Logged(sim, "\"kind\":\"probe\"", 2)) << "the board is identified again";
    EXPECT_TRUE(Logged(sim, "\"kind\":\"read\"", 2));
    EXPECT_FALSE(Logged(sim, "\"kind\":\"read\"", 3)) << "one read after each identification, no more";
    EXPECT_EQ(app->params[MaxAngle].value, 77);
}

TEST_F(LinkStates, EveryIdentifiedBoardShowsItsStatus)
{
    const std::vector<std::vector<std::string>> boards = {
        {"--debug-text", "Init done"}, // text with the answer's first letter ahead of the answer
        {"--set", "16=1"},             // a debug level that keeps the status exchange quiet
    };
    for (const std::vector<std::string>& options : boards) {
        SCOPED_TRACE(options[1]);
        StartBoard(options);
        app = std::make_unique<AppContext>();
        StartPage(BoardCom);
        EXPECT_EQ(Text(StatusTextId), "Wheel Found");
        app.reset();
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

    controls.SetChecked(&page, 2121, true);
    Notify(2121, 0);
    EXPECT_EQ(app->profiles.At(0)->wheelFlags, 5) << "Invert (bit 0 and bit 2) is stored into the profile";
}
