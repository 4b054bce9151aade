#include "BoardLinkFixture.h"

#include "board/LinkState.h"
#include "board/WheelLink.h"

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

} // namespace

TEST_F(BoardLinkTest, PlainAnswerFindsTheWheel)
{
    WheelSim& sim = StartBoard();
    EXPECT_TRUE(IdentifyWheel(*app, BoardCom));
    EXPECT_EQ(app->linkState, LinkWheelFound);
    EXPECT_EQ(app->boardComPort, BoardCom);
    EXPECT_TRUE(app->boardPort.IsOpen());
    ASSERT_TRUE(sim.WaitForLog("\"kind\":\"probe\""));
    EXPECT_NE(sim.LogLinesWith("\"bytes\":[97,114,101,121,111,117,63]").size(), 0u) << "the probe is \"areyou?\"";
}

TEST_F(BoardLinkTest, AnswerSplitOverSeveralWritesIsAccepted)
{
    StartBoard({"--split", "3", "--split-pause", "30"});
    EXPECT_TRUE(IdentifyWheel(*app, BoardCom));
    EXPECT_EQ(app->linkState, LinkWheelFound);
}

TEST_F(BoardLinkTest, DebugTextBeforeTheAnswerIsDropped)
{
    StartBoard({"--debug-text", "boot 2.1 ok\r\n", "--garbage", "20"});
    EXPECT_TRUE(IdentifyWheel(*app, BoardCom));
    EXPECT_EQ(app->linkState, LinkWheelFound);
}

TEST_F(BoardLinkTest, EchoingDeviceIsClosedAfterHalfASecondInStateConnected)
{
    StartBoard({"--echo"});
    const auto start = Clock::now();
    EXPECT_FALSE(IdentifyWheel(*app, BoardCom));
    const long long took = MsSince(start);
    EXPECT_GE(took, 490); // millisecond counters of two clocks
    EXPECT_LT(took, 3000);
    EXPECT_EQ(app->linkState, LinkConnected);
    EXPECT_FALSE(app->boardPort.IsOpen());
    EXPECT_EQ(app->boardComPort, 0) << "the port is not taken as the board's";
}

TEST_F(BoardLinkTest, SilentDeviceShowsConnectedAtTheNextPoll)
{
    StartBoard({"--silent"});
    app->boardComPort = BoardCom;
    PollWheel(*app, false);
    EXPECT_EQ(app->linkState, LinkConnected);
    EXPECT_EQ(Label(StatusTextId), "Connected");
    EXPECT_EQ(Label(2043), "---");
    EXPECT_FALSE(app->boardPort.IsOpen());
}

TEST_F(BoardLinkTest, PortThatCannotBeOpenedLeavesTheStateAlone)
{
    std::filesystem::create_symlink(Dir() / "nowhere", Dir() / "com7");
    EXPECT_FALSE(IdentifyWheel(*app, 7));
    EXPECT_EQ(app->linkState, LinkDisconnected);
    EXPECT_FALSE(IdentifyWheel(*app, 0)) << "COM0 does not exist";
}

TEST_F(BoardLinkTest, ChoosingAnotherPortIdentifiesThereAndNoneClosesTheBoardPort)
{
    WheelSim& sim = StartBoard();
    SelectBoardPort(*app, BoardCom);
    EXPECT_EQ(app->boardComPort, BoardCom);
    EXPECT_EQ(app->linkState, LinkWheelFound);
    EXPECT_TRUE(sim.LogLinesWith("\"kind\":\"read\"").empty()) << "the parameter set is not read here";

    SelectBoardPort(*app, 0);
    EXPECT_EQ(app->boardComPort, 0);
    EXPECT_FALSE(app->boardPort.IsOpen());
    EXPECT_EQ(app->linkState, LinkWheelFound);
}

TEST_F(BoardLinkTest, SimulatorEndsCleanlyOnTerminate)
{
    WheelSim& sim = StartBoard();
    ASSERT_TRUE(std::filesystem::is_symlink(sim.LinkPath()));
    EXPECT_EQ(sim.Stop(), 0);
    EXPECT_FALSE(std::filesystem::is_symlink(sim.LinkPath())) << "the link goes with the simulator";
}
