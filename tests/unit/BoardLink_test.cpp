// The COM port and the board protocol's frames, the test playing the board on a pseudo-terminal.
#include "board/BoardProtocol.h"
#include "board/LinkState.h"
#include "board/WheelLink.h"
#include "core/ComPort.h"
#include "platform/SerialPort.h"
#include "../support/Doubles.h"
#include "FakeClock.h"
#include "PtyBoard.h"
#include <gtest/gtest.h>
#include <functional>
#include <memory>

using Bytes = std::vector<uint8_t>;

TEST(ComPort, ClosedPortDoesNothingAndComNumbersAreLinksInTheDeviceDirectoryElseTtyS)
{
    ComPort port;
    uint8_t buffer[4] = {9, 9, 9, 9};
    EXPECT_EQ(port.Write("abc", 3) + port.WriteString("abc") + port.WriteByte('S') + port.Read(buffer, 4), 0u);
    EXPECT_EQ(buffer[0] + port.BytesWaiting() + port.ReadByte(), 9u) << "nothing read, waiting or stored";
    port.Purge(), port.SetLines(true);
    EXPECT_EQ(std::pair(port.Close(), port.IsOpen()), std::pair(-1, false));
    PtyBoard board(5);
    EXPECT_EQ(SerialDeviceName(5), (board.Dir() / "com5").string());
    EXPECT_EQ(SerialDeviceName(1), "/dev/ttyS0");
}

TEST(ComPort, OpenRefusesMissingPortsNonTerminalsAndASecondHandleUntilTheFirstLetsGo)
{
    PtyBoard board(3);
    PtyBoard other(board.Dir(), 6);
    std::filesystem::create_symlink(board.Dir() / "absent", board.Dir() / "com4");
    std::filesystem::create_symlink("/dev/null", board.Dir() / "com8");
    ComPort first, second;
    for (int missing : {0, 4, 8}) EXPECT_FALSE(second.Open(static_cast<uint8_t>(missing), 115200)) << "COM" << missing;
    ASSERT_TRUE(first.Open(3, 115200));
    EXPECT_FALSE(second.Open(3, 115200)) << "held by the first handle";
    EXPECT_EQ(first.Close(), 1);
    ASSERT_TRUE(second.Open(3, 115200) && second.Open(6, 1200));
    EXPECT_TRUE(first.Open(3, 115200)) << "opening COM6 let COM3 go";
    second.Close();
    EXPECT_TRUE(std::make_unique<ComPort>()->Open(6, 115200));
    EXPECT_TRUE(second.Open(6, 115200)) << "let go by the destructor";
}

TEST(ComPort, BytesTravelBothWaysIdleReadsGiveUpAndPurgeDropsWhatCame)
{
    PtyBoard board(3);
    ComPort port;
    ASSERT_TRUE(port.Open(3, 115200));
    EXPECT_EQ(port.WriteString("areyou?"), 7u);
    EXPECT_EQ(board.Received(), (Bytes{'a', 'r', 'e', 'y', 'o', 'u', '?'}));
    board.Send({0x10, 0x27});
    uint8_t reply[4] = {};
    ASSERT_TRUE(WaitUntil([&] { return port.BytesWaiting() == 2; }));
    EXPECT_EQ(port.Read(reply, 4), 2u) << "what came before the time-outs ran out";
    EXPECT_EQ(Bytes(reply, reply + 4), (Bytes{0x10, 0x27, 0x00, 0x00}));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.ReadByte(), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(10)) << "five attempts of about 3 ms";
    board.Send({1, 2, 3});
    ASSERT_TRUE(WaitUntil([&] { return port.BytesWaiting() == 3; }));
    EXPECT_EQ(port.ReadByte(), 1);
    port.Purge();
    EXPECT_EQ(port.BytesWaiting(), 0u);
    auto waited = [](ComPort& on, uint32_t ms, bool came) {
        const auto begun = std::chrono::steady_clock::now();
        EXPECT_EQ(on.WaitForInput(ms), came);
        return std::chrono::steady_clock::now() - begun;
    };
    EXPECT_GE(waited(port, 30, false), std::chrono::milliseconds(30)) << "an idle line is waited on to the end";
    board.Send({4});
    EXPECT_LT(waited(port, 5000, true), std::chrono::seconds(2)) << "a byte ends the wait";
    EXPECT_EQ(port.ReadByte(), 4);
    auto unplugged = std::make_unique<PtyBoard>(6);
    ComPort other;
    ASSERT_TRUE(other.Open(6, 115200));
    unplugged.reset();
    EXPECT_LT(waited(other, 5000, false), std::chrono::seconds(2)) << "a hung-up line ends the wait";
}

// The program's side of a pty board on COM3, its records bound to a recorded
// page, with a clock that moves 1 ms per read so that time-outs pass at once.
class BoardLink : public ::testing::Test, protected AppPage {
protected:
    BoardLink() { BindParams(*app, &page); }
    bool Open() { return app->boardPort.Open(3, 115200); }
    // Sends the bytes and waits until the program's side has them all.
    bool Queue(const Bytes& bytes)
    {
        board.Send(bytes);
        return WaitUntil([&] { return app->boardPort.BytesWaiting() == bytes.size(); });
    }
    std::string Text(int id) { return ui.controls.TextOf(&page, id); }

    PtyBoard board{3};
    FakeClock clock{1};
    ParamControl* p = app->params;
};

TEST_F(BoardLink, ReadSendsItsFrameDropsStaleBytesAndKeepsTheValueWhenNoReplyComesWithinOneHundredMilliseconds)
{
    ASSERT_TRUE(Open());
    ASSERT_TRUE(Queue({0x55})); // the late answer to an earlier read
    p[MaxAngle].value = 540;
    SendRaw(*app, 17, 1, 100); // may not have reached the board yet when the read drops what came in
    const uint64_t start = clock.Now();
    RefreshParam(*app, p[MaxAngle]);
    EXPECT_TRUE(clock.Now() - start >= 105 && clock.Now() - start < 135) << clock.Now() - start << " ms";
    EXPECT_EQ(board.Received(), (Bytes{'P', 17, 1, 100, 'p', 8, 4}));
    EXPECT_EQ(std::pair(p[MaxAngle].value, Text(2023)), std::pair(540, std::string("540 \xB0")));
    EXPECT_EQ(clock.Sleeps(), (std::vector<uint32_t>{20, 5})) << "20 ms after the write, 5 after the read";
    EXPECT_EQ(clock.Waits(), std::vector<uint32_t>{99}) << "one wait for input, of the time left";
    ASSERT_TRUE(Queue({0x55}));
    EXPECT_EQ(ReadParam(*app, 17, 1, -7), -7);
    EXPECT_TRUE(board.Received(0).empty()) << "after a lost reply nothing is asked until identified again";
}

TEST_F(BoardLink, WritesAreBigEndianFramesFollowedByTwentyMillisecondsAndOnlyForBoardParameters)
{
    ASSERT_TRUE(Open());
    ParamControl odd = p[MainGain];
    odd.widthCode = 3;
    p[CenterOffset].value = -2;
    p[LinearityX].value = 4096;
    ui.controls.SetTrackbarPosition(&page, 2037, 900);
    ui.controls.SetTrackbarPosition(&page, 1079, 10);
    const struct { const char* name; std::function<void()> write; Bytes wire; } cases[] = {
        {"CenterOffset", [&] { SendParam(*app, p[CenterOffset]); }, {'P', 4, 4, 0xFF, 0xFF, 0xFF, 0xFE}},
        {"LinearityX", [&] { SendParam(*app, p[LinearityX]); }, {'P', 80, 2, 0x10, 0x00}},
        {"raw on a busy link", [&] { app->linkBusy = 1; SendRaw(*app, 40, 1, 255); app->linkBusy = 0; }, {'P', 40, 1, 255}},
        {"MaxAngle's trackbar", [&] { TrackbarChanged(*app, p[MaxAngle]); }, {'P', 8, 4, 0x00, 0x00, 0x03, 0x84}},
        {"widths 0, 5", [&] { SendParam(*app, odd); RefreshParam(*app, odd); SendRaw(*app, 40, 5, 1); SendRaw(*app, 40, 0, 1); }, {}},
        {"not board parameters", [&] { SendParam(*app, p[StatisticsWindow]); TrackbarChanged(*app, p[TorqueBandwidth]); }, {}}};
    for (const auto& c : cases) {
        c.write();
        EXPECT_EQ(board.Received(), c.wire) << c.name;
    }
    EXPECT_EQ((std::vector<std::string>{Text(2023), Text(1080)}), (std::vector<std::string>{"900 \xB0", "4700 Hz"}));
    EXPECT_EQ(app->commandBusy, 0) << "restored after the write";
    EXPECT_EQ(clock.Sleeps(), std::vector<uint32_t>(4, 20));
}

TEST_F(BoardLink, ProfileGoesOutOnlyWhileTheWheelIsFoundOrReadyAndABusyLinkIsWaitedForAtMostHalfASecond)
{
    ASSERT_TRUE(Open());
    p[MaxAngle].value = 900;
    for (ParamIndex i : {MainGain, GameFxSpring, GameFxFriction, GameFxDamper, GameFxInertia, GameFxConstant,
                         GameFxSine, ForceTable, WheelFlags, UserFxSpring, UserFxFriction, UserFxDamper, UserFxInertia})
        p[i].value = ParamSet[i].number; // a value of its own
    Bytes profile = {'P', 8, 4, 0x00, 0x00, 0x03, 0x84}; // MaxAngle, then each one-byte parameter in turn
    for (uint8_t n : Bytes{17, 18, 19, 20, 21, 22, 23, 24, 34, 30, 31, 32, 33}) profile.insert(profile.end(), {'P', n, 1, n});
    for (uint8_t state : {LinkDisconnected, LinkConnected, LinkWheelError, LinkWheelFound, LinkWheelReady}) {
        app->linkState = state;
        SendProfile(*app);
        EXPECT_EQ(board.Received(), state == LinkWheelFound || state == LinkWheelReady ? profile : Bytes{}) << +state;
    }
    EXPECT_EQ(std::pair(app->commandBusy, clock.Sleeps()), std::pair(uint8_t{0}, std::vector<uint32_t>(28, 20)));
    app->linkBusy = 1;
    clock.SetStep(0);
    SendProfile(*app);
    EXPECT_TRUE(board.Received().empty()) << "the link stayed busy";
    SendParam(*app, p[MainGain]);
    EXPECT_EQ(board.Received(), (Bytes{'P', 17, 1, 17})) << "a write goes out after the wait";
    std::vector<uint32_t> waited(28, 20);
    waited.insert(waited.end(), 2 * 501, 1);
    waited.push_back(20);
    EXPECT_EQ(clock.Sleeps(), waited) << "1 ms at a time until more than 500 ms passed";
}
