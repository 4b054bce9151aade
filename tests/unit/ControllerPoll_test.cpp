#include "core/AppContext.h"
#include "controller/ControllerPoll.h"
#include "platform/FakeGameInput.h"
#include "platform/RecordingCanvas.h"
#include "platform/RecordingControls.h"
#include "ui/WheelStateDrawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

class ControllerPolling : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousInput_ = UseGameInput(&input);
        previousControls_ = UseControls(&controls);
        previousCanvas_ = UseCanvas(&canvas);
        app = std::make_unique<AppContext>();
        app->mainPage = &page;
        app->params[MaxAngle].value = 900;
        app->inputRead = [](AppContext& a, uint32_t buttons) {
            DrawWheelState(a.mainPage, a.liveAxes, buttons, a.params[MaxAngle].value);
        };
    }
    void TearDown() override
    {
        UseGameInput(previousInput_);
        UseControls(previousControls_);
        UseCanvas(previousCanvas_);
    }

    FakeGameInput::Device& Wheel()
    {
        FakeGameInput::Device& wheel = input.Attach("Wheel", 1);
        app->currentController = input.Handle(0);
        return wheel;
    }

    bool Drawn() const
    {
        const auto& ops = canvas.Operations();
        return std::find(ops.begin(), ops.end(), "begin 0 120 70 180") != ops.end();
    }

    bool Has(const std::string& op) const
    {
        const auto& ops = canvas.Operations();
        return std::find(ops.begin(), ops.end(), op) != ops.end();
    }

    FakeGameInput input;
    RecordingControls controls;
    RecordingCanvas canvas;
    std::unique_ptr<AppContext> app;
    int page = 0;
    int drivePage = 0;

private:
    GameInput* previousInput_ = nullptr;
    Controls* previousControls_ = nullptr;
    Canvas* previousCanvas_ = nullptr;
};

} // namespace

TEST_F(ControllerPolling, NoCurrentControllerDoesNothing)
{
    EXPECT_EQ(PollController(*app), 0);
    EXPECT_TRUE(canvas.Operations().empty());
}

TEST_F(ControllerPolling, StateBecomesTheLiveAxesAndTheDrawing)
{
    FakeGameInput::Device& wheel = Wheel();
    wheel.state.axes[0] = 65535;
    wheel.state.axes[1] = 65535;
    wheel.state.buttons[0] = 0x80;
    EXPECT_EQ(PollController(*app), 0);
    EXPECT_EQ(app->liveAxes[0], 65535);
    EXPECT_EQ(app->liveAxes[1], 65535);
    EXPECT_EQ(canvas.Window(), &page);
    EXPECT_TRUE(Has("polygon 40,169 39,140 10,155"));
    EXPECT_TRUE(Has("rect 61 142 69 179"));
    EXPECT_TRUE(Has("fill 121 141 139 157 ff0000"));
}

TEST_F(ControllerPolling, ButtonsBeyondThirtyTwoAreNotInTheMask)
{
    FakeGameInput::Device& wheel = Wheel();
    for (int n = 32; n < 40; ++n) wheel.state.buttons[n] = 0x80;
    wheel.state.buttons[31] = 0x7f; // high bit clear: not pressed
    PollController(*app);
    ASSERT_TRUE(Drawn());
    for (const std::string& op : canvas.Operations()) EXPECT_NE(op.rfind("fill", 0), 0u) << op;
}

TEST_F(ControllerPolling, UnpluggedControllerIsAcquiredAgainAndNothingIsShown)
{
    FakeGameInput::Device& wheel = Wheel();
    wheel.pollResult = -1;
    wheel.acquireResults = {InputLost, InputLost, -2};
    wheel.state.axes[0] = 100;
    PollController(*app);
    EXPECT_EQ(wheel.acquires, 3) << "again while the input is lost, then on the next tick";
    EXPECT_FALSE(Drawn());
    EXPECT_EQ(app->liveAxes[0], 0);

    wheel.pollResult = 0;
    PollController(*app);
    EXPECT_EQ(app->liveAxes[0], 100);
}

TEST_F(ControllerPolling, ControllerThatStaysLostDoesNotHoldTheTick)
{
    FakeGameInput::Device& wheel = Wheel();
    wheel.pollResult = -1;
    wheel.acquireResults.assign(1000, InputLost);
    PollController(*app);
    EXPECT_LT(wheel.acquires, 1000);
}

TEST_F(ControllerPolling, FailedStateReadShowsNothing)
{
    FakeGameInput::Device& wheel = Wheel();
    wheel.stateResult = -3;
    PollController(*app);
    EXPECT_FALSE(Drawn());
}

TEST_F(ControllerPolling, DrivePageShowsAxesSlidersAndHats)
{
    FakeGameInput::Device& wheel = Wheel();
    app->drivePage = &drivePage;
    for (int i = 0; i < 6; ++i) wheel.state.axes[i] = 1000 * (i + 1);
    wheel.state.sliders[1] = 77;
    wheel.state.povs[0] = 0xffffffff;
    wheel.state.povs[3] = 9000;
    PollController(*app);
    EXPECT_EQ(controls.TextOf(&drivePage, 1010), "1000");
    EXPECT_EQ(controls.TextOf(&drivePage, 1024), "6000");
    EXPECT_EQ(controls.TextOf(&drivePage, 1033), "77");
    EXPECT_EQ(controls.TextOf(&drivePage, 1050), "ffffffff");
    EXPECT_EQ(controls.TextOf(&drivePage, 1058), "2328");
}

TEST_F(ControllerPolling, WithoutTheDrivePageNoValueIsWritten)
{
    Wheel();
    PollController(*app);
    EXPECT_TRUE(controls.Journal().empty());
}
