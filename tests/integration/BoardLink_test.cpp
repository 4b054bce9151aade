// The board link and the main page against wheelsim on pseudo-terminals.
#include "board/BoardProtocol.h"
#include "board/LinkState.h"
#include "board/WheelLink.h"
#include "profiles/Profiles.h"
#include "support/Doubles.h"
#include "support/SimProcess.h"
#include "ui/MainPage.h"
#include "unit/PtyBoard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int GainLabel = 2043;
constexpr int AngleTrackbar = 2037;
constexpr int GainTrackbar = 2021;

// A private COM port directory, an application context whose parameter
// records are bound to a recorded main page, and wheelsim boards on demand.
class BoardLinkTest : public ::testing::Test {
protected:
    static constexpr uint8_t BoardCom = 5;

    BoardLinkTest() { setenv("VANTOR_DOSDEVICES", dir.path().c_str(), 1); FreshApp(); }
    ~BoardLinkTest() override { unsetenv("VANTOR_DOSDEVICES"); }

    WheelSim& StartBoard(std::vector<std::string> options = {}, int com = BoardCom)
    {
        sims_.push_back(std::make_unique<WheelSim>(dir.path(), com, std::move(options)));
        EXPECT_TRUE(sims_.back()->Running());
        return *sims_.back();
    }
    void FreshApp()
    {
        app = std::make_unique<AppContext>();
        ui.controls.Clear();
        BindParams(*app, app->mainPage = &mainPage_);
    }
    std::string Label(int id) { return ui.controls.TextOf(&mainPage_, id); }
    // A read of a parameter no test uses: once logged, all sent before it is logged.
    void SendMarker(WheelSim& sim)
    {
        const uint8_t marker[3] = {'p', 199, 1};
        app->boardPort.Write(marker, sizeof marker);
        ASSERT_TRUE(sim.WaitForLog("\"number\":199"));
        ASSERT_TRUE(WaitUntil([&] { return app->boardPort.BytesWaiting() == 1; }));
        app->boardPort.ReadByte(); // its answer
    }

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
        for (const std::string& f : sim.Frames("write"))
            if (f.rfind(head, 0) == 0) frames.push_back(f);
        return frames;
    }

    Doubles ui;
    TempDir dir;

private:
    int mainPage_ = 0;
    std::vector<std::unique_ptr<WheelSim>> sims_;

protected:
    std::unique_ptr<AppContext> app; // goes first: the port closes before the boards stop
};
using LinkStates = BoardLinkTest;

} // namespace

TEST_F(BoardLinkTest, ProbeFindsTheWheelThroughSplitAnswersAndDebugTextButNotAnEcho)
{
    const struct { Texts options; bool found; int waitMs; } cases[] = {
        {{}, true, 0}, {{"--split", "3", "--split-pause", "30"}, true, 0},
        {{"--debug-text", "boot 2.1 ok\r\n", "--garbage", "20"}, true, 0}, {{"--echo"}, false, 490},
        // Ten bytes from the answer's first letter on are no answer; 127 of them end the wait.
        {{"--debug-text", "I" + std::string(130, '.')}, false, 0}};
    int com = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options.empty() ? "plain" : c.options[0]);
        WheelSim& sim = StartBoard(c.options, ++com);
        app->boardComPort = 0;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(IdentifyWheel(*app, static_cast<uint8_t>(com)), c.found);
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(c.waitMs));
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
    std::deque<PtyBoard> ports; // COM1, COM5 and COM9; every other number names nothing
    for (int n = 1; n <= 126; ++n) {
        if (n % 4 == 1 && n < 10) ports.emplace_back(dir.path(), n);
        else std::filesystem::create_symlink("absent", dir.path() / ("com" + std::to_string(n)));
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
}

TEST_F(BoardLinkTest, WholeSetIsReadInItsOrderWithLittleEndianValues)
{
    WheelSim& sim = StartBoard({"--set", "4=10000", "--set", "80=65535", "--set", "17=128", "--set", "8=1080",
                                "--set", "36=3", "--set", "71=9", "--set", "73=2", "--set", "25=1"});
    ASSERT_TRUE(IdentifyWheel(*app, BoardCom));
    ReadAllParams(*app);
    const ParamControl* p = app->params;
    const PinMap& pins = app->pins;
    EXPECT_EQ((std::vector<int>{p[CenterOffset].value, p[LinearityX].value, p[MainGain].value, p[MaxAngle].value,
                                p[EncoderCounts].value, p[CommandMode].value, pins.buttonOutputMap[0], pins.buttonOutputMap[35],
                                pins.axisSources[0], pins.axisSources[1], pins.externalGainSource}),
              (std::vector<int>{10000, -1, -128, 1080, 10000, 1, 3, 9, NoPin, 2, 1})) << "0x10 0x27 0 0, 0xFF 0xFF, 0x80, ...";
    EXPECT_EQ(std::pair(Label(2023), Label(2029)), std::pair(std::string("1080 \xB0"), std::string("-100 %")));
    SendMarker(sim);
    std::vector<long> expected = {4, 8, 17, 18, 19, 20, 21, 22, 23, 26, 27, 24, 34, 28, 29, 30, 31, 32, 33, 16, 35, 79, 12, 77};
    for (long n = 36; n <= 71; ++n) expected.push_back(n);
    for (long k = 0; k < 4; ++k) expected.insert(expected.end(), {72 + k, 80 + 2 * k});
    expected.insert(expected.end(), {25, 199}); // the last, then the marker
    EXPECT_EQ(sim.Numbers("read"), expected);
    const std::vector<std::string> r = sim.Frames("read");
    EXPECT_EQ((std::vector<std::string>{r.at(0), r.at(1), r.at(2), r.at(61)}),
              (std::vector<std::string>{"112,4,4", "112,8,4", "112,17,1", "112,80,2"}));
}

TEST_F(BoardLinkTest, DefaultsAreRestoredAndTheAdvancedSettingsReadBack)
{
    WheelSim& sim = StartBoard({"--set", "77=20"});
    ASSERT_TRUE(IdentifyWheel(*app, BoardCom));
    SendRaw(*app, 77, 1, 5);
    app->params[Filter].value = 5;
    ResetBoardDefaults(*app);
    EXPECT_EQ(std::pair(app->params[Filter].value, Label(1078)), std::pair(20, std::string("63 %")));
    SendMarker(sim);
    EXPECT_EQ(sim.Frames("defaults"), std::vector<std::string>{"68"});
    const std::vector<long> numbers = sim.Numbers("read");
    ASSERT_EQ(numbers.size(), 4u + 45u + 1u) << "the advanced four, the pin map, the marker";
    EXPECT_EQ(std::vector<long>(numbers.begin(), numbers.begin() + 4), (std::vector<long>{35, 79, 12, 77}));
}

TEST_F(BoardLinkTest, MainPageStartIdentifiesTheStoredPortShowsTheBoardsValuesAndSendsThemBackAsTheDefaultProfile)
{
    WheelSim& sim = StartBoard({"--set", "8=1080", "--set", "17=100", "--set", "34=5"});
    app = std::make_unique<AppContext>(); // no page has bound it yet
    app->boardComPort = BoardCom;
    int page = 0;
    InitMainPage(*app, &page);
    const auto at = [&](int id) { return *ui.controls.Get(&page, id); };
    EXPECT_EQ(std::tuple(app->linkState, at(2037).position, at(2021).position, at(2121).checked, at(2126).checked),
              std::tuple(LinkWheelFound, 1080, 100, true, false)) << "Invert and Manual from WheelFlags 5";
    EXPECT_EQ((std::vector<std::string>{ui.controls.TextOf(&page, 2023), ui.controls.TextOf(&page, 2095),
                                        ui.controls.ComboTexts(&page, 1041).at(static_cast<std::size_t>(at(1041).selection))}),
              (std::vector<std::string>{"1080 \xB0", "0.21", "COM5"}));
    EXPECT_EQ(ui.controls.ComboTexts(&page, 1207), std::vector<std::string>{"Default"}) << "made from the values read";
    SendMarker(sim);
    const std::vector<std::string> writes = sim.Frames("write");
    EXPECT_EQ(std::tuple(writes.size(), writes.at(0), writes.at(1)), std::tuple(14u, "80,8,4,0,0,4,56", "80,17,1,100"));
}

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
    for (const std::vector<std::string>& options : {Texts{"--debug-text", "Init done"}, Texts{"--set", "16=1"}}) {
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
