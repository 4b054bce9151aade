#include "BoardLinkFixture.h"
#include "LogFields.h"

#include "board/BoardProtocol.h"
#include "board/LinkState.h"
#include "board/WheelLink.h"

namespace {

std::vector<long> ReadNumbers(const WheelSim& sim)
{
    std::vector<long> numbers;
    for (const std::string& line : sim.LogLinesWith("\"kind\":\"read\"")) numbers.push_back(LogField(line, "number"));
    return numbers;
}

} // namespace

TEST_F(BoardLinkTest, WholeSetIsReadInItsOrderWithLittleEndianValues)
{
    WheelSim& sim = StartBoard({"--set", "4=10000", "--set", "80=65535", "--set", "17=128", "--set", "8=1080",
                                "--set", "36=3", "--set", "71=9", "--set", "73=2", "--set", "25=1"});
    ASSERT_TRUE(IdentifyWheel(*app, BoardCom));
    ReadAllParams(*app);

    EXPECT_EQ(app->params[CenterOffset].value, 10000) << "0x10 0x27 0x00 0x00";
    EXPECT_EQ(app->params[LinearityX].value, -1) << "0xFF 0xFF";
    EXPECT_EQ(app->params[MainGain].value, -128) << "0x80";
    EXPECT_EQ(app->params[MaxAngle].value, 1080);
    EXPECT_EQ(app->params[EncoderCounts].value, 10000);
    EXPECT_EQ(app->params[CommandMode].value, 1);
    EXPECT_EQ(app->pins.buttonOutputMap[0], 3);
    EXPECT_EQ(app->pins.buttonOutputMap[35], 9);
    EXPECT_EQ(app->pins.axisSources[1], 2);
    EXPECT_EQ(app->pins.axisSources[0], NoPin);
    EXPECT_EQ(app->pins.externalGainSource, 1);
    EXPECT_EQ(Label(2023), "1080 \xB0");
    EXPECT_EQ(Label(2029), "-100 %");

    std::vector<long> expected = {4, 8, 17, 18, 19, 20, 21, 22, 23, 26, 27, 24, 34, 28, 29, 30, 31, 32, 33, 16,
                                  35, 79, 12, 77};
    for (long n = 36; n <= 71; ++n) expected.push_back(n);
    for (long k = 0; k < 4; ++k) {
        expected.push_back(72 + k);
        expected.push_back(80 + 2 * k);
    }
    expected.push_back(25);
    ASSERT_EQ(expected.size(), 69u);
    SendMarker(sim);
    std::vector<long> numbers = ReadNumbers(sim);
    numbers.pop_back(); // the marker
    EXPECT_EQ(numbers, expected);
    const std::vector<std::string> reads = sim.LogLinesWith("\"kind\":\"read\"");
    EXPECT_EQ(LogBytes(reads[0]), "112,4,4");
    EXPECT_EQ(LogBytes(reads[1]), "112,8,4");
    EXPECT_EQ(LogBytes(reads[2]), "112,17,1");
    EXPECT_EQ(LogBytes(reads[61]), "112,80,2");
}

TEST_F(BoardLinkTest, UnansweredReadKeepsThePreviousValue)
{
    WheelSim& sim = StartBoard({"--disconnect-after", "1"});
    ASSERT_TRUE(IdentifyWheel(*app, BoardCom));
    app->params[MaxAngle].value = 540;
    RefreshParam(*app, app->params[MaxAngle]);
    EXPECT_TRUE(sim.WaitForLog("\"event\":\"disconnect\""));
    EXPECT_EQ(app->params[MaxAngle].value, 540);
    EXPECT_EQ(Label(2023), "540 \xB0");
}

TEST_F(BoardLinkTest, MaxAngle900IsWrittenMostSignificantByteFirst)
{
    WheelSim& sim = StartBoard();
    ASSERT_TRUE(IdentifyWheel(*app, BoardCom));
    ParamControl& angle = app->params[MaxAngle];
    controls.SetTrackbarPosition(app->mainPage, angle.trackbarId, 900);
    TrackbarChanged(*app, angle);
    EXPECT_EQ(angle.value, 900);
    EXPECT_EQ(Label(2023), "900 \xB0");
    EXPECT_EQ(app->commandBusy, 0) << "restored after the write";
    ASSERT_TRUE(sim.WaitForLog("\"kind\":\"write\""));
    EXPECT_EQ(LogBytesOf(sim.LogLinesWith("\"kind\":\"write\"")), std::vector<std::string>{"80,8,4,0,0,3,132"});
}

TEST_F(BoardLinkTest, WrittenValueIsReadBack)
{
    StartBoard();
    ASSERT_TRUE(IdentifyWheel(*app, BoardCom));
    app->params[CenterOffset].value = -2;
    SendParam(*app, app->params[CenterOffset]);
    app->params[CenterOffset].value = 0;
    RefreshParam(*app, app->params[CenterOffset]);
    EXPECT_EQ(app->params[CenterOffset].value, -2);
}

TEST_F(BoardLinkTest, RecordsThatAreNotBoardParametersAreNeverSent)
{
    WheelSim& sim = StartBoard();
    ASSERT_TRUE(IdentifyWheel(*app, BoardCom));
    app->params[StatisticsWindow].value = 600;
    SendParam(*app, app->params[StatisticsWindow]);
    controls.SetTrackbarPosition(app->mainPage, app->params[TorqueBandwidth].trackbarId, 10);
    TrackbarChanged(*app, app->params[TorqueBandwidth]);
    EXPECT_EQ(controls.TextOf(app->mainPage, 1080), "4700 Hz");
    SendMarker(sim);
    EXPECT_TRUE(sim.LogLinesWith("\"kind\":\"write\"").empty());
}

TEST_F(BoardLinkTest, ProfileIsSentOnlyWhileTheWheelIsFoundOrReady)
{
    WheelSim& sim = StartBoard();
    ASSERT_TRUE(IdentifyWheel(*app, BoardCom));
    for (uint8_t state : {LinkDisconnected, LinkConnected, LinkWheelError}) {
        app->linkState = state;
        SendProfile(*app);
    }
    SendMarker(sim);
    EXPECT_TRUE(sim.LogLinesWith("\"kind\":\"write\"").empty());

    app->linkState = LinkWheelReady;
    app->params[MainGain].value = 100;
    SendProfile(*app);
    EXPECT_EQ(app->commandBusy, 0);
    SendMarker(sim);
    std::vector<long> numbers;
    for (const std::string& line : sim.LogLinesWith("\"kind\":\"write\"")) numbers.push_back(LogField(line, "number"));
    EXPECT_EQ(numbers, (std::vector<long>{8, 17, 18, 19, 20, 21, 22, 23, 24, 34, 30, 31, 32, 33}));
    EXPECT_EQ(LogBytes(sim.LogLinesWith("\"kind\":\"write\"")[1]), "80,17,1,100");
}

TEST_F(BoardLinkTest, PinBytesAreWrittenRaw)
{
    WheelSim& sim = StartBoard();
    ASSERT_TRUE(IdentifyWheel(*app, BoardCom));
    app->linkBusy = 1; // not waited for
    SendRaw(*app, 40, 1, 255);
    SendRaw(*app, 25, 1, 3);
    app->linkBusy = 0;
    SendMarker(sim);
    EXPECT_EQ(LogBytesOf(sim.LogLinesWith("\"kind\":\"write\"")), (std::vector<std::string>{"80,40,1,255", "80,25,1,3"}));
}

TEST_F(BoardLinkTest, DefaultsAreRestoredAndTheAdvancedSettingsReadBack)
{
    WheelSim& sim = StartBoard({"--set", "77=20"});
    ASSERT_TRUE(IdentifyWheel(*app, BoardCom));
    SendRaw(*app, 77, 1, 5);
    app->params[Filter].value = 5;
    ResetBoardDefaults(*app);
    EXPECT_EQ(app->params[Filter].value, 20);
    EXPECT_EQ(Label(1078), "63 %");
    SendMarker(sim);
    const std::vector<std::string> lines = sim.LogLines();
    std::vector<std::string> kinds;
    for (const std::string& line : lines) {
        if (line.find("\"kind\":\"defaults\"") != std::string::npos) kinds.push_back("D");
    }
    EXPECT_EQ(kinds.size(), 1u);
    std::vector<long> numbers = ReadNumbers(sim);
    ASSERT_GE(numbers.size(), 4u);
    EXPECT_EQ(std::vector<long>(numbers.begin(), numbers.begin() + 4), (std::vector<long>{35, 79, 12, 77}));
    EXPECT_EQ(numbers.size(), 4u + 45u + 1u) << "the advanced four, the pin map, the marker";
}

TEST_F(BoardLinkTest, ReadOfFourBytesArrivingTwoAndTwoIsWhole)
{
    StartBoard({"--set", "4=10000", "--split", "2", "--split-pause", "8"});
    ASSERT_TRUE(IdentifyWheel(*app, BoardCom));
    const uint8_t frame[3] = {'p', 4, 4};
    app->boardPort.Write(frame, 3);
    uint8_t buffer[4] = {};
    EXPECT_EQ(app->boardPort.Read(buffer, 4), 4u);
    EXPECT_EQ(buffer[0], 0x10);
    EXPECT_EQ(buffer[1], 0x27);
    EXPECT_EQ(buffer[2], 0x00);
    EXPECT_EQ(buffer[3], 0x00);
}

TEST_F(BoardLinkTest, TraceFramesFlowWhileTheDebugLevelIsAboveZero)
{
    StartBoard({"--trace-ms", "10"});
    ASSERT_TRUE(IdentifyWheel(*app, BoardCom));
    app->params[DebugLevel].value = 1;
    SendParam(*app, app->params[DebugLevel]);
    uint8_t frame[5] = {};
    EXPECT_EQ(app->boardPort.Read(frame, 5), 5u);
    EXPECT_EQ(frame[0], '#');
    EXPECT_EQ(frame[1], 0) << "kind of the first frame";
    EXPECT_EQ(frame[2], 0) << "its count";
    EXPECT_EQ(frame[3], 0xFE);
    EXPECT_EQ(frame[4], 0x0C) << "-500";
}

TEST_F(BoardLinkTest, ReplyLaterThanOneHundredMillisecondsIsNotTaken)
{
    StartBoard({"--slow", "150", "--set", "8=720"});
    ASSERT_TRUE(IdentifyWheel(*app, BoardCom)) << "150 ms is within the probe's 500 ms";
    app->params[MaxAngle].value = 540;
    RefreshParam(*app, app->params[MaxAngle]);
    EXPECT_EQ(app->params[MaxAngle].value, 540);
}

TEST_F(BoardLinkTest, SlowReplyWithinTheByteTimeOutIsTaken)
{
    StartBoard({"--slow", "40", "--set", "8=720"});
    ASSERT_TRUE(IdentifyWheel(*app, BoardCom));
    RefreshParam(*app, app->params[MaxAngle]);
    EXPECT_EQ(app->params[MaxAngle].value, 720);
}
