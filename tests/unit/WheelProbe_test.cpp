#include "core/AppContext.h"
#include "board/LinkState.h"
#include "board/WheelLink.h"
#include "platform/RecordingControls.h"

#include "FakeClock.h"
#include "PtyBoard.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

TEST(WheelProbe, UnansweredProbeClosesThePortAfterHalfASecondInStateConnected)
{
    PtyBoard board(3);
    FakeClock clock(1);
    auto app = std::make_unique<AppContext>();
    const uint64_t start = clock.Now();
    EXPECT_FALSE(IdentifyWheel(*app, 3));
    EXPECT_GE(clock.Now() - start, 500u);
    EXPECT_EQ(app->linkState, LinkConnected);
    EXPECT_FALSE(app->boardPort.IsOpen());
    EXPECT_EQ(app->boardComPort, 0);
}

TEST(WheelProbe, ResetOfAPortThatIsNotThereReportsFailure)
{
    PtyBoard board(3);
    auto app = std::make_unique<AppContext>();
    app->boardComPort = 9;
    std::filesystem::create_symlink(board.Dir() / "absent", board.Dir() / "com9");
    EXPECT_FALSE(ResetBoard(*app));
    app->boardComPort = 3;
    EXPECT_TRUE(ResetBoard(*app));
    EXPECT_FALSE(app->boardPort.IsOpen()) << "closed again at once";
}

TEST(WheelProbe, PollWithNoAnswerShowsConnectedAndNoGain)
{
    PtyBoard board(3);
    FakeClock clock(1);
    RecordingControls controls;
    Controls* previous = UseControls(&controls);
    auto app = std::make_unique<AppContext>();
    int page = 0;
    app->mainPage = &page;
    app->params[ExternalGain].dialog = &page;
    app->params[ExternalGain].labelId = 2043;
    app->boardComPort = 3;
    PollWheel(*app, false);
    EXPECT_EQ(controls.TextOf(&page, StatusTextId), "Connected");
    EXPECT_EQ(controls.TextOf(&page, 2043), "---");
    EXPECT_EQ(clock.Sleeps().front(), 20u) << "the step opens with its 20 ms pause";
    UseControls(previous);
}

TEST(WheelProbe, DeviceThatNeverStopsTalkingIsLeftAfterHalfASecond)
{
    PtyBoard board(3);
    auto app = std::make_unique<AppContext>();
    std::atomic<bool> stop{false};
    // Keeps the line full of bytes that are not the answer for up to 5 s.
    std::thread chatter([&] {
        const std::vector<uint8_t> noise(256, '#');
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!stop && std::chrono::steady_clock::now() < end) {
            if (!board.TrySend(noise)) std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(IdentifyWheel(*app, 3));
    const auto took = std::chrono::steady_clock::now() - start;
    stop = true;
    chatter.join();
    EXPECT_LT(took, std::chrono::seconds(3));
    EXPECT_EQ(app->linkState, LinkConnected);
    EXPECT_FALSE(app->boardPort.IsOpen());
}
