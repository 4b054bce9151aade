#include "board/WheelLink.h"
#include "controller/ControllerDiscovery.h"
#include "controller/ControllerPoll.h"
#include "controller/Tick.h"
#include "core/StartSwitches.h"
#include "platform/ProcessSnapshot.h"
#include "profiles/Profiles.h"
#include "ui/WheelStateDrawing.h"
#include "../support/Doubles.h"
#include "FakeClock.h"
#include "PtyBoard.h"
#include <gtest/gtest.h>

namespace {

// A tick against a pty board on COM4, a fake controller drawn on a page, a fresh log.
class TickTest : public ::testing::Test, protected AppPage {
protected:
    TickTest()
    {
        g_tickStamps = TickStamps{};
        LogInto(logDir.WithSeparator());
        app->mainPage = &page;
        app->inputRead = [](AppContext& a, uint32_t buttons) {
            DrawWheelState(a.mainPage, a.liveAxes, buttons, a.params[MaxAngle].value);
        };
    }
    ~TickTest() override { g_tickStamps = TickStamps{}; }

    FakeGameInput::Device& Wheel()
    {
        FakeGameInput::Device& wheel = ui.input.Attach("Wheel", 1);
        EXPECT_EQ(InitControllers(*app, &page), 0);
        app->currentController = &wheel;
        return wheel;
    }
    long Drawn() const { return CountStarting(ui.canvas.Operations(), "begin 0 120 70 180"); }
    long StatusWrites() const { return CountStarting(ui.controls.Journal(), "2088 text"); }

    PtyBoard board{4};
    TempDir logDir;
};
} // namespace

TEST_F(TickTest, TraceFramesAreLoggedAndDrawnOnePerTickOnlyWhileTheDebugLevelIsAboveNone)
{
    FakeClock clock(0);
    static std::vector<uint64_t> drawn; // when the force trace was handed on to be drawn
    drawn.clear();
    app->forceTraced = [](AppContext&, uint64_t now) { drawn.push_back(now); };
    ASSERT_TRUE(app->boardPort.Open(4, 115200));
    app->commandBusy = 1;
    board.Send({'x', '#', 7, 3, 0xFF, 0xFE, '#', 0, 200, 0x01, 0x00, '#', 1, 0, 0x80, 0x00});
    ASSERT_TRUE(WaitUntil([&] { return app->boardPort.BytesWaiting() == 16; }));
    const std::pair<uint32_t, const char*> afterEachTick[] = {{16, ""}, // debug level None: input left alone
        {15, ""}, {10, "Error : 3 : -2\r\n"}, {5, "Error : 3 : -2\r\nTorque : 200 : 256\r\n"},
        {0, "Error : 3 : -2\r\nTorque : 200 : 256\r\nCreate Effect : 0 : -32768\r\n"}};
    for (const auto& [waiting, log] : afterEachTick) {
        Tick(*app, false);
        const std::string file = logDir.Read("Log.txt"), after = file.substr(file.find("\r\n", file.find("Exec Log Init")) + 2);
        EXPECT_EQ(std::pair(app->boardPort.BytesWaiting(), after), std::pair(waiting, std::string(log)));
        app->params[DebugLevel].value = 1;
        clock.Sleep(40);
    }
    std::vector<std::tuple<uint64_t, ForceTrace::Kind, int16_t>> trace;
    for (const ForceTrace::Entry& e : app->forceTrace.Entries()) trace.emplace_back(e.time, e.kind, e.value);
    // Ticks 40 ms apart from 1000: a frame at each from the third, drawn at the second (the first
    // that traces) and then 120 ms later.
    EXPECT_EQ(trace, (std::vector<std::tuple<uint64_t, ForceTrace::Kind, int16_t>>{
                         {1080, ForceTrace::Kind::Error, -2}, {1120, ForceTrace::Kind::Torque, 256},
                         {1160, ForceTrace::Kind::CreateEffect, -32768}}));
    EXPECT_EQ(drawn, (std::vector<uint64_t>{1040, 1160})) << "drawn more than 100 ms apart";
}

TEST_F(TickTest, BoardStepRunsMoreThanASecondApartAndNotWhileCommandBusyButGamesAndTheControllerAreAlwaysLookedAt)
{
    FakeClock clock(0);
    Wheel();
    static int snapshots = 0; // game detection's looks at the processes
    const ProcessSnapshotter previous = UseProcessSnapshot([](std::vector<std::string>&) { return ++snapshots > 0; });
    CreateProfile(*app, "Default", "NoLife.exe");
    ui.controls.SelectComboItem(&page, ProfileComboId, 0);
    app->flags = 2;
    app->boardComPort = 4;
    app->commandBusy = 1;
    for (const auto& [sleep, looks] : {std::pair{5000u, 1}, {2000u, 1}, {1u, 2}}) { // more than two seconds apart
        clock.Sleep(sleep);
        Tick(*app, false);
        EXPECT_EQ(std::tuple(StatusWrites(), snapshots), std::tuple(0L, looks));
    }
    UseProcessSnapshot(previous);
    EXPECT_EQ(Drawn(), 3);
    app->commandBusy = 0;
    clock.SetStep(1);
    const uint64_t start = clock.Now();
    Tick(*app, false);
    EXPECT_EQ(ui.controls.TextOf(&page, StatusTextId), "Connected") << "the first step opened the port, no answer";
    clock.SetStep(0);
    clock.Sleep(static_cast<uint32_t>(start + 1000 - clock.Now()));
    Tick(*app, false);
    EXPECT_EQ(StatusWrites(), 1) << "1000 ms is not more than a second";
    clock.SetStep(1);
    clock.Sleep(1);
    Tick(*app, false);
    EXPECT_EQ(StatusWrites(), 2);
}

TEST_F(TickTest, ControllerStateBecomesTheLiveAxesTheDrivePageValuesAndTheDrawingUnlessTheControllerIsLost)
{
    EXPECT_EQ(PollController(*app) + Drawn(), 0) << "no current controller";
    FakeGameInput::Device& wheel = Wheel();
    InputState& state = wheel.state;
    for (int i = 0; i < 6; ++i) state.axes[i] = 1000 * (i + 1);
    state.sliders[1] = 77;
    for (int i = 0; i < 4; ++i) state.povs[i] = i == 3 ? 9000 : 0xffffffff;
    state.buttons[0] = 0x80;
    state.buttons[31] = 0x7f; // high bit clear: not pressed
    for (int n = 32; n < 40; ++n) state.buttons[n] = 0x80;
    PollController(*app);
    EXPECT_EQ(CountStarting(ui.canvas.Operations(), "fill"), 1) << "button 1 only: 32 is not pressed, 33 to 40 not in the mask";
    app->drivePage = &drivePage;
    PollController(*app);
    EXPECT_EQ(std::vector<int>(app->liveAxes, app->liveAxes + 6), (std::vector<int>{1000, 2000, 3000, 4000, 5000, 6000}));
    EXPECT_EQ(app->controllers[0].device, &wheel) << "the controller table is intact";
    EXPECT_EQ(ui.controls.Journal(), (Texts{"1010 text 1000", "1011 text 2000", "1012 text 3000", "1022 text 4000",
                                            "1023 text 5000", "1024 text 6000", "1032 text 0", "1033 text 77",
                                            "1050 text ffffffff", "1054 text ffffffff", "1056 text ffffffff",
                                            "1058 text 2328"})) << "none before the drive page";
    ui.controls.Clear(), ui.canvas.Clear();
    wheel.pollResult = -1; // unplugged
    wheel.acquireResults = {InputLost, InputLost, -2};
    state.axes[0] = 100;
    PollController(*app);
    EXPECT_EQ(wheel.acquires, 3) << "again while the input is lost, then on the next tick";
    wheel.acquireResults.assign(1000, InputLost);
    PollController(*app);
    EXPECT_LT(wheel.acquires, 100) << "a controller that stays lost does not hold the tick";
    wheel.pollResult = 0, wheel.stateResult = -3;
    PollController(*app);
    EXPECT_EQ(std::tuple(Drawn(), ui.controls.Journal().size(), app->liveAxes[0]), std::tuple(0L, 0ul, 1000));
    wheel.stateResult = 0;
    PollController(*app);
    EXPECT_EQ(std::tuple(Drawn(), app->liveAxes[0]), std::tuple(1L, 100));
}

TEST_F(TickTest, TheDrivesStepWaitsForATickWithoutTheBoardsPoll)
{
    FakeClock clock(1);
    clock.Sleep(5000);
    g_switches.dev = true;
    app->drivePage = &drivePage;
    app->boardComPort = 4;
    const auto driveShown = [&] { return CountStarting(ui.controls.Journal(), "2101 text"); };
    Tick(*app, false);
    EXPECT_EQ(std::tuple(StatusWrites(), driveShown()), std::tuple(1L, 0L)) << "both were due";
    clock.Sleep(101);
    Tick(*app, false);
    EXPECT_EQ(std::tuple(StatusWrites(), driveShown()), std::tuple(1L, 1L));
    app->driveMisses = 1; // each read of a silent drive holds the window
    Texts shown;
    for (const uint32_t step : {101u, 300u, 100u}) {
        clock.Sleep(step);
        ui.controls.SetText(&drivePage, 2101, "");
        Tick(*app, false);
        shown.push_back(ui.controls.TextOf(&drivePage, 2101));
    }
    EXPECT_EQ(shown, Texts({"", "", "NA"})) << "half a second after a read without an answer";
    g_switches.dev = false;
}
