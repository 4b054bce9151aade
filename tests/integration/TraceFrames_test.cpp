#include "BoardLinkFixture.h"

#include "board/BoardProtocol.h"
#include "board/WheelLink.h"
#include "controller/Tick.h"
#include "exec/ExecConfig.h"
#include "exec/Log.h"

#include <chrono>
#include <cstdio>
#include <thread>

TEST_F(BoardLinkTest, TickLogsTheBoardsTraceFramesOnePerTick)
{
    TempDir logDir;
    ExecConfig config;
    std::snprintf(config.logDirectory, sizeof config.logDirectory, "%s", logDir.WithSeparator().c_str());
    config.logMode = LogModeNew;
    LogInit(config);
    SetLogThreshold(0);

    StartBoard({"--trace-ms", "5"});
    ASSERT_TRUE(IdentifyWheel(*app, BoardCom));
    app->params[DebugLevel].value = 2;
    SendParam(*app, app->params[DebugLevel]);
    app->commandBusy = 1; // the board step stays out of this
    for (int tick = 0; tick < 3; ++tick) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (app->boardPort.BytesWaiting() < 5 && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        Tick(*app, false);
    }
    const std::string log = logDir.Read("Log.txt");
    EXPECT_NE(log.find("\r\nTorque : 0 : -500\r\nCreate Effect : 1 : -463\r\nError : 2 : -426\r\n"), std::string::npos)
        << log;
}
