#include "core/AppContext.h"
#include "board/ParamDisplay.h"
#include "controller/Tick.h"
#include "exec/ExecConfig.h"
#include "exec/Log.h"
#include "platform/FakeGameInput.h"
#include "platform/RecordingCanvas.h"
#include "platform/RecordingControls.h"
#include "ui/WheelStateDrawing.h"

#include "FakeClock.h"
#include "PtyBoard.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr uint8_t BoardCom = 4;

class TickTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_tickStamps = TickStamps{};
        previousControls_ = UseControls(&controls);
        previousInput_ = UseGameInput(&input);
        previousCanvas_ = UseCanvas(&canvas);
        ExecConfig config;
        std::snprintf(config.logDirectory, sizeof config.logDirectory, "%s", logDir.WithSeparator().c_str());
        config.logMode = LogModeNew;
        LogInit(config);
        SetLogThreshold(0);
        app = std::make_unique<AppContext>();
        app->mainPage = &page;
        app->inputRead = [](AppContext& a, uint32_t buttons) {
            DrawWheelState(a.mainPage, a.liveAxes, buttons, a.params[MaxAngle].value);
        };
    }
    void TearDown() override
    {
        app.reset();
        UseControls(previousControls_);
        UseGameInput(previousInput_);
        UseCanvas(previousCanvas_);
        g_tickStamps = TickStamps{};
    }

    // Bytes from the board, once they wait on the program's side.
    void BoardSends(const std::vector<uint8_t>& bytes)
    {
        const uint32_t before = app->boardPort.BytesWaiting();
        board.Send(bytes);
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (app->boardPort.BytesWaiting() < before + bytes.size() && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    std::string LogAfterStart() const
    {
        const std::string file = logDir.Read("Log.txt");
        const std::size_t init = file.find("Exec Log Init");
        const std::size_t end = init == std::string::npos ? init : file.find("\r\n", init);
        return end == std::string::npos ? file : file.substr(end + 2);
    }

    // How often the board step has shown the link status.
    int StatusWrites() const
    {
        int writes = 0;
        for (const std::string& entry : controls.Journal()) writes += entry.rfind("2088 text", 0) == 0 ? 1 : 0;
        return writes;
    }

    PtyBoard board{BoardCom};
    TempDir logDir;
    RecordingControls controls;
    FakeGameInput input;
    RecordingCanvas canvas;
    std::unique_ptr<AppContext> app;
    int page = 0;

private:
    Controls* previousControls_ = nullptr;
    GameInput* previousInput_ = nullptr;
    Canvas* previousCanvas_ = nullptr;
};

} // namespace

TEST_F(TickTest, TraceFrameIsLoggedWithItsKindNameAndBothValues)
{
    ASSERT_TRUE(app->boardPort.Open(BoardCom, 115200));
    app->params[DebugLevel].value = 1;
    app->commandBusy = 1;
    BoardSends({'#', 7, 3, 0xFF, 0xFE});
    EXPECT_EQ(Tick(*app, false), 0);
    BoardSends({'#', 0, 200, 0x01, 0x00, '#', 1, 0, 0x80, 0x00});
    Tick(*app, false);
    Tick(*app, false);
    EXPECT_EQ(LogAfterStart(), "Error : 3 : -2\r\nTorque : 200 : 256\r\nCreate Effect : 0 : -32768\r\n");
}

TEST_F(TickTest, OneFrameAtMostPerTickAndOtherBytesAreDropped)
{
    ASSERT_TRUE(app->boardPort.Open(BoardCom, 115200));
    app->params[DebugLevel].value = 3;
    app->commandBusy = 1;
    BoardSends({'x', '#', 2, 1, 0x00, 0x05});
    Tick(*app, false);
    EXPECT_EQ(LogAfterStart(), "");
    EXPECT_EQ(app->boardPort.BytesWaiting(), 5u);
    Tick(*app, false);
    EXPECT_EQ(LogAfterStart(), "Error : 1 : 5\r\n");
}

TEST_F(TickTest, WithDebugLevelNoneWaitingInputIsLeftAlone)
{
    ASSERT_TRUE(app->boardPort.Open(BoardCom, 115200));
    app->commandBusy = 1;
    BoardSends({'#', 0, 1, 0, 1});
    Tick(*app, false);
    EXPECT_EQ(app->boardPort.BytesWaiting(), 5u);
    EXPECT_EQ(LogAfterStart(), "");
}

TEST_F(TickTest, BoardStepRunsAtMostOnceASecond)
{
    FakeClock clock(1);
    app->boardComPort = BoardCom;
    clock.Sleep(5000);
    Tick(*app, false);
    EXPECT_EQ(StatusWrites(), 1) << "the first tick looks for the board";
    EXPECT_EQ(controls.TextOf(&page, 2088), "Connected") << "the port opened, no answer";
    clock.Sleep(400);
    Tick(*app, false);
    EXPECT_EQ(StatusWrites(), 1);
    clock.Sleep(1000);
    Tick(*app, false);
    EXPECT_EQ(StatusWrites(), 2);
}

TEST_F(TickTest, CommandBusyKeepsTheBoardStepOutButTheControllerIsStillRead)
{
    FakeClock clock(1);
    input.Attach("Wheel", 1);
    app->currentController = input.Handle(0);
    app->boardComPort = BoardCom;
    app->commandBusy = 1;
    clock.Sleep(5000);
    Tick(*app, false);
    EXPECT_EQ(StatusWrites(), 0);
    ASSERT_FALSE(canvas.Operations().empty());
    EXPECT_EQ(canvas.Operations().front(), "begin 0 120 70 180");
}
