#include "BoardLinkFixture.h"
#include "LogFields.h"

#include "board/BoardProtocol.h"
#include "board/LinkState.h"
#include "board/WheelLink.h"

#include <pty.h>

TEST_F(BoardLinkTest, FirstPollIdentifiesReadsTheSetAndReportsReady)
{
    WheelSim& sim = StartBoard({"--status", "8", "--set", "25=2", "--set", "254=64"});
    app->boardComPort = BoardCom;
    PollWheel(*app, false);
    EXPECT_EQ(app->linkState, LinkWheelReady);
    EXPECT_EQ(Label(StatusTextId), "Ready");
    EXPECT_EQ(Label(FirmwareVersionId), "0.21") << "version 0x15 0x00 0x00 0x00";
    EXPECT_EQ(app->firmwareVersion, 0x15u);
    EXPECT_EQ(Label(2043), "50 %") << "ExternalGain is read while the wheel is ready";
    EXPECT_EQ(app->linkBusy, 0);
    SendMarker(sim);
    EXPECT_EQ(sim.LogLinesWith("\"kind\":\"read\"").size(), 69u + 1u + 1u) << "the set, ExternalGain, the marker";
}

TEST_F(BoardLinkTest, CalibrationErrorSetsWheelError)
{
    StartBoard({"--status", "7"});
    app->boardComPort = BoardCom;
    PollWheel(*app, false);
    EXPECT_EQ(app->linkState, LinkWheelError);
    EXPECT_EQ(Label(StatusTextId), "Calibration error");
}

TEST_F(BoardLinkTest, PhaseAboveEightShowsReadyButKeepsTheState)
{
    StartBoard({"--status", "200"});
    app->boardComPort = BoardCom;
    PollWheel(*app, false);
    EXPECT_EQ(app->linkState, LinkWheelFound);
    EXPECT_EQ(Label(StatusTextId), "Ready");
}

TEST_F(BoardLinkTest, CalibrationPhasesAreShownInTurn)
{
    StartBoard({"--status", "1,3,4,5,6,8"});
    app->boardComPort = BoardCom;
    std::vector<std::string> shown;
    for (int i = 0; i < 6; ++i) {
        PollWheel(*app, false);
        shown.push_back(Label(StatusTextId));
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"Calibrating Dir", "Calibrating left", "Calibrating right",
                                               "Searching index", "Homing", "Ready"}));
    EXPECT_EQ(app->linkState, LinkWheelReady);
}

TEST_F(BoardLinkTest, VersionIsShownMajorDotMinorAndAskedOnce)
{
    WheelSim& sim = StartBoard({"--fw-version", "0x0103", "--status", "8"});
    app->boardComPort = BoardCom;
    PollWheel(*app, false);
    PollWheel(*app, false);
    EXPECT_EQ(Label(FirmwareVersionId), "1.3");
    SendMarker(sim);
    EXPECT_EQ(sim.LogLinesWith("\"kind\":\"version\"").size(), 1u);
    EXPECT_EQ(sim.LogLinesWith("\"kind\":\"status\"").size(), 2u);
}

TEST_F(BoardLinkTest, MinimisedWindowSendsNoStatusRequest)
{
    WheelSim& sim = StartBoard({"--status", "8"});
    ASSERT_TRUE(IdentifyWheel(*app, BoardCom));
    PollWheel(*app, true);
    EXPECT_EQ(Label(StatusTextId), "Wheel Found");
    SendMarker(sim);
    EXPECT_TRUE(sim.LogLinesWith("\"kind\":\"status\"").empty());
}

TEST_F(BoardLinkTest, DebugLevelAboveZeroKeepsThePollOffTheLine)
{
    WheelSim& sim = StartBoard({"--status", "8"});
    ASSERT_TRUE(IdentifyWheel(*app, BoardCom));
    app->params[DebugLevel].value = 2;
    controls.Clear();
    PollWheel(*app, false);
    EXPECT_TRUE(controls.Journal().empty());
    SendMarker(sim);
    EXPECT_EQ(sim.LogLines().size(), 2u) << "the probe and the marker";
}

TEST_F(BoardLinkTest, CommandBusyMakesThePollDoNothing)
{
    WheelSim& sim = StartBoard({"--status", "8"});
    ASSERT_TRUE(IdentifyWheel(*app, BoardCom));
    app->commandBusy = 1;
    app->flags = 1;
    controls.Clear();
    PollWheel(*app, false);
    EXPECT_TRUE(controls.Journal().empty());
    EXPECT_EQ(app->updateCheckDone, 0) << "the update check waits too";
    SendMarker(sim);
    EXPECT_EQ(sim.LogLines().size(), 2u);
}

TEST_F(BoardLinkTest, BoardThatStopsAnsweringKeepsItsStateAndText)
{
    StartBoard({"--status", "8", "--disconnect-after", "72"});
    app->boardComPort = BoardCom;
    PollWheel(*app, false); // probe, 69 reads, status, version
    ASSERT_EQ(app->linkState, LinkWheelReady);
    PollWheel(*app, false);
    EXPECT_EQ(app->linkState, LinkWheelReady);
    EXPECT_EQ(Label(StatusTextId), "Wheel Ready");
}

TEST_F(BoardLinkTest, CenterIsSentOnlyWhenReadyAndTheOffsetReadBack)
{
    WheelSim& sim = StartBoard({"--center", "-321"});
    ASSERT_TRUE(IdentifyWheel(*app, BoardCom));
    CenterWheel(*app);
    SendMarker(sim);
    EXPECT_TRUE(sim.LogLinesWith("\"kind\":\"center\"").empty());

    app->linkState = LinkWheelReady;
    CenterWheel(*app);
    EXPECT_EQ(app->params[CenterOffset].value, -321);
    EXPECT_EQ(Label(2120), "-321");
    EXPECT_EQ(sim.LogLinesWith("\"kind\":\"center\"").size(), 1u);
}

TEST_F(BoardLinkTest, CalibrateIsSentInAnyState)
{
    WheelSim& sim = StartBoard();
    ASSERT_TRUE(IdentifyWheel(*app, BoardCom));
    app->linkState = LinkConnected;
    Calibrate(*app);
    ASSERT_TRUE(sim.WaitForLog("\"kind\":\"calibrate\""));
    EXPECT_EQ(LogBytes(sim.LogLinesWith("\"kind\":\"calibrate\"")[0]), "114");
}

TEST_F(BoardLinkTest, ResetOpensAt1200BaudAndTheNextPollFindsTheBoardAgain)
{
    WheelSim& sim = StartBoard({"--status", "8", "--restart-ms", "100"});
    app->boardComPort = BoardCom;
    ASSERT_TRUE(IdentifyWheel(*app, BoardCom));
    EXPECT_TRUE(ResetBoard(*app));
    EXPECT_FALSE(app->boardPort.IsOpen());
    EXPECT_EQ(app->linkState, LinkWheelFound) << "unchanged by the reset";
    ASSERT_TRUE(sim.WaitForLog("\"event\":\"restart\""));
    PollWheel(*app, false); // may fall in the board's restart
    if (!app->boardPort.IsOpen()) PollWheel(*app, false);
    EXPECT_TRUE(app->boardPort.IsOpen());
    EXPECT_EQ(app->linkState, LinkWheelReady);
}

TEST_F(BoardLinkTest, PortListShowsThePortsThatOpenAndSelectsTheCurrentOne)
{
    // COM1, COM5 and COM9 exist; every other number names nothing.
    int masters[3];
    int index = 0;
    for (int n = 1; n <= 126; ++n) {
        const std::filesystem::path link = Dir() / ("com" + std::to_string(n));
        if (n == 1 || n == 5 || n == 9) {
            int slave = -1;
            char name[128];
            ASSERT_EQ(openpty(&masters[index], &slave, name, nullptr, nullptr), 0);
            close(slave);
            ++index;
            std::filesystem::create_symlink(name, link);
        } else {
            std::filesystem::create_symlink(Dir() / "absent", link);
        }
    }
    int comboPage = 0;
    FillComPortList(&comboPage, WheelComPortComboId, 5);
    EXPECT_EQ(controls.ComboTexts(&comboPage, WheelComPortComboId),
              (std::vector<std::string>{"None", "COM1", "COM5", "COM9"}));
    EXPECT_EQ(controls.ComboSelection(&comboPage, WheelComPortComboId), 2);
    EXPECT_EQ(controls.ComboItemData(&comboPage, WheelComPortComboId, 3), 9);

    FillComPortList(&comboPage, WheelComPortComboId, 7);
    EXPECT_EQ(controls.ComboSelection(&comboPage, WheelComPortComboId), 0);

    ASSERT_TRUE(app->boardPort.Open(5, 115200));
    FillComPortList(&comboPage, WheelComPortComboId, 5);
    EXPECT_EQ(controls.ComboTexts(&comboPage, WheelComPortComboId), (std::vector<std::string>{"None", "COM1", "COM9"}))
        << "a port held open elsewhere is not listed";
    EXPECT_EQ(controls.ComboSelection(&comboPage, WheelComPortComboId), 0);
    for (int m : masters) close(m);
}
