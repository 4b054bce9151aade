#include "BoardLinkFixture.h"

#include <algorithm>
#include <pty.h>

using Texts = std::vector<std::string>;

TEST_F(BoardLinkTest, ProbeFindsTheWheelThroughSplitAnswersAndDebugTextButNotAnEcho)
{
    const struct { Texts options; bool found; } cases[] = {
        {{}, true}, {{"--split", "3", "--split-pause", "30"}, true},
        {{"--debug-text", "boot 2.1 ok\r\n", "--garbage", "20"}, true}, {{"--echo"}, false}};
    int com = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options.empty() ? "plain" : c.options[0]);
        WheelSim& sim = StartBoard(c.options, ++com);
        app->boardComPort = 0;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(IdentifyWheel(*app, static_cast<uint8_t>(com)), c.found);
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(c.found ? 0 : 490));
        EXPECT_EQ(std::tuple(app->linkState, app->boardPort.IsOpen(), app->boardComPort),
                  std::tuple(c.found ? LinkWheelFound : LinkConnected, c.found, c.found ? com : 0));
        ASSERT_TRUE(sim.WaitForLog("\"kind\":\"probe\""));
        EXPECT_EQ(sim.Frames("probe"), Texts{"97,114,101,121,111,117,63"}) << "\"areyou?\"";
    }
    std::filesystem::create_symlink(dir.path() / "nowhere", dir.path() / "com7");
    app->linkState = LinkWheelError;
    EXPECT_FALSE(IdentifyWheel(*app, 7) || IdentifyWheel(*app, 0)) << "ports that cannot be opened";
    EXPECT_EQ(app->linkState, LinkWheelError) << "left alone";
}

// Each poll shows the phase the board reports; the first one also reads the
// set and, once, the firmware version.
TEST_F(BoardLinkTest, PollsIdentifyReadTheSetAndShowStateTextGainAndVersion)
{
    const struct { Texts options; uint8_t state; Texts shown; const char* gain; const char* version; } cases[] = {
        {{"--status", "3,8", "--set", "25=2", "--set", "254=64", "--fw-version", "0x0103"}, LinkWheelReady,
         {"Calibrating left", "Ready"}, "50 %", "1.3"},
        {{"--status", "1,4,5,6"}, LinkWheelFound, {"Calibrating Dir", "Calibrating right", "Searching index", "Homing"},
         "0 %", "0.21"},
        {{"--status", "8"}, LinkWheelReady, {"Ready"}, "---", "0.21"}, // no external gain source
        {{"--status", "7"}, LinkWheelError, {"Calibration error"}, "0 %", "0.21"},
        {{"--status", "200"}, LinkWheelFound, {"Ready"}, "0 %", "0.21"},
        {{"--silent"}, LinkConnected, {"Connected"}, "---", ""}};
    int com = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options[0] + " " + (c.options.size() > 1 ? c.options[1] : "") + " " + c.gain);
        WheelSim& sim = StartBoard(c.options, ++com);
        FreshApp();
        app->boardComPort = static_cast<uint8_t>(com);
        for (const std::string& text : c.shown) {
            PollWheel(*app, false);
            EXPECT_EQ(Label(StatusTextId), text);
        }
        EXPECT_EQ((Texts{Label(2043), Label(FirmwareVersionId)}), (Texts{c.gain, c.version}));
        EXPECT_EQ(std::tuple(app->linkState, app->linkBusy, app->params[MaxAngle].value),
                  std::tuple(c.state, 0, c.state != LinkConnected ? 900 : 0)) << "the set is read once found";
        ASSERT_EQ(app->boardPort.IsOpen(), c.state != LinkConnected);
        if (!app->boardPort.IsOpen()) continue;
        SendMarker(sim);
        EXPECT_EQ(std::pair(sim.Frames("version").size(), sim.Frames("status").size()), std::pair(1ul, c.shown.size()));
    }
}

TEST_F(BoardLinkTest, MinimisedDebugLevelAndCommandBusyKeepThePollOffTheLineCalibrateAndCenterGoOut)
{
    WheelSim& sim = StartBoard({"--status", "8", "--center", "-321"});
    ASSERT_TRUE(IdentifyWheel(*app, app->boardComPort = BoardCom));
    PollWheel(*app, true);
    EXPECT_EQ(Label(StatusTextId), "Wheel Found") << "minimised: the link state's text";
    ui.controls.Clear();
    app->params[DebugLevel].value = 2;
    PollWheel(*app, false);
    app->params[DebugLevel].value = 0;
    static int checks = 0;
    app->updateCheckDue = [](AppContext&) { ++checks; };
    app->commandBusy = 1;
    app->flags = 1;
    PollWheel(*app, false);
    EXPECT_TRUE(ui.controls.Journal().empty());
    EXPECT_EQ(checks, 0) << "the update check waits for command busy too";
    app->commandBusy = 0;
    PollWheel(*app, true);
    PollWheel(*app, true);
    EXPECT_EQ(std::pair(checks, app->updateCheckDone), std::pair(1, uint8_t{1})) << "once a run";
    Calibrate(*app); // in any state
    CenterWheel(*app); // only when ready
    SendMarker(sim);
    EXPECT_EQ(sim.LogLinesWith("").size(), 3u) << "the probe, calibrate and the marker";
    EXPECT_EQ(std::pair(sim.Frames("calibrate"), sim.Frames("center")), std::pair(Texts{"114"}, Texts{}));
    app->linkState = LinkWheelReady;
    CenterWheel(*app);
    EXPECT_EQ(std::pair(app->params[CenterOffset].value, Label(2120)), std::pair(-321, std::string("-321")));
    EXPECT_EQ(sim.Frames("center"), Texts{"99"});
}

TEST_F(BoardLinkTest, ChoosingAPortIdentifiesThereNoneClosesItAndResetRestartsTheBoardAt1200Baud)
{
    WheelSim& sim = StartBoard({"--status", "8", "--restart-ms", "100"});
    SelectBoardPort(*app, BoardCom);
    EXPECT_EQ(std::pair(app->boardComPort, app->linkState), std::pair(BoardCom, uint8_t{LinkWheelFound}));
    SelectBoardPort(*app, BoardCom);
    SelectBoardPort(*app, 0);
    EXPECT_EQ(std::tuple(app->boardComPort, app->linkState, app->boardPort.IsOpen()), std::tuple(0, LinkDisconnected, false));
    EXPECT_FALSE(ResetBoard(*app)) << "no port";
    SelectBoardPort(*app, BoardCom);
    SendMarker(sim);
    EXPECT_EQ(sim.Frames("probe").size(), 2u) << "the same port again is no new choice";
    const std::vector<long> reads = sim.Numbers("read");
    EXPECT_EQ(std::count(reads.begin(), reads.end(), 36), 2) << "each choice reads the parameter set";
    EXPECT_TRUE(ResetBoard(*app));
    EXPECT_EQ(std::pair(app->boardPort.IsOpen(), app->linkState), std::pair(false, uint8_t{LinkWheelFound}));
    ASSERT_TRUE(sim.WaitForLog("\"event\":\"restart\""));
    PollWheel(*app, false); // may fall in the board's restart
    if (!app->boardPort.IsOpen()) PollWheel(*app, false);
    EXPECT_EQ(std::pair(app->boardPort.IsOpen(), app->linkState), std::pair(true, uint8_t{LinkWheelReady}));
}

TEST_F(BoardLinkTest, PortListShowsThePortsThatOpenAndSelectsTheCurrentOne)
{
    int masters[3], slave = -1;
    for (int n = 1; n <= 126; ++n) { // COM1, COM5 and COM9; every other number names nothing
        char name[128] = "absent";
        if (n % 4 == 1 && n < 10) {
            ASSERT_EQ(openpty(&masters[n / 4], &slave, name, nullptr, nullptr) + close(slave), 0);
        }
        std::filesystem::create_symlink(name, dir.path() / ("com" + std::to_string(n)));
    }
    int page = 0;
    const struct { uint8_t current; bool boardOnCom5; Texts listed; int selected; } cases[] = {
        {5, false, {"None", "COM1", "COM5", "COM9"}, 2}, {7, false, {"None", "COM1", "COM5", "COM9"}, 0},
        {5, true, {"None", "COM1", "COM9"}, 0}}; // a port held open elsewhere is not listed
    for (const auto& c : cases) {
        ASSERT_EQ(app->boardPort.Open(c.boardOnCom5 ? 5 : 0, 115200), c.boardOnCom5);
        FillComPortList(&page, WheelComPortComboId, c.current);
        EXPECT_EQ(ui.controls.ComboTexts(&page, WheelComPortComboId), c.listed);
        EXPECT_EQ(ui.controls.ComboSelection(&page, WheelComPortComboId), c.selected) << int{c.current};
        EXPECT_EQ(ui.controls.ComboItemData(&page, WheelComPortComboId, static_cast<int>(c.listed.size()) - 1), 9);
    }
    for (int m : masters) close(m);
}
