#include "core/AppContext.h"
#include "board/BoardProtocol.h"
#include "board/WheelLink.h"

#include "FakeClock.h"

#include <gtest/gtest.h>

#include <memory>

TEST(LinkIdle, ClearFlagReturnsAtOnce)
{
    FakeClock clock;
    auto app = std::make_unique<AppContext>();
    EXPECT_TRUE(WaitLinkIdle(*app));
    EXPECT_TRUE(clock.Sleeps().empty());
}

TEST(LinkIdle, BusyLinkIsWaitedForAtMostHalfASecond)
{
    FakeClock clock;
    auto app = std::make_unique<AppContext>();
    app->linkBusy = 1;
    const uint64_t start = clock.Now();
    EXPECT_FALSE(WaitLinkIdle(*app));
    EXPECT_GT(clock.Now() - start, 500u);
    EXPECT_LE(clock.Now() - start, 502u);
    EXPECT_EQ(clock.Sleeps().front(), 1u) << "in steps of 1 ms";
}

TEST(LinkIdle, WriteOnABusyLinkGoesOutAfterTheWait)
{
    FakeClock clock;
    auto app = std::make_unique<AppContext>();
    app->linkBusy = 1;
    app->params[MainGain].number = 17;
    app->params[MainGain].widthCode = WidthCode1;
    SendParam(*app, app->params[MainGain]);
    EXPECT_EQ(clock.Sleeps().back(), 20u) << "the write's pause follows the wait";
    EXPECT_GT(clock.Sleeps().size(), 500u);
}

TEST(LinkIdle, PollWithoutBoardPortStillRunsTheUpdateCheckOnce)
{
    FakeClock clock;
    auto app = std::make_unique<AppContext>();
    app->flags = 1;
    PollWheel(*app, false);
    EXPECT_EQ(app->updateCheckDone, 1);
    EXPECT_EQ(app->linkBusy, 0);
    EXPECT_TRUE(clock.Sleeps().empty()) << "no board port: no exchange";
}

TEST(LinkIdle, UpdateCheckIsNotStartedWhenSwitchedOff)
{
    FakeClock clock;
    auto app = std::make_unique<AppContext>();
    app->flags = 2;
    PollWheel(*app, false);
    EXPECT_EQ(app->updateCheckDone, 0);
}
