#include "core/AppContext.h"
#include "board/BoardProtocol.h"
#include "core/ParamSet.h"
#include "platform/RecordingControls.h"

#include "FakeClock.h"
#include "PtyBoard.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

namespace {

// The program's side of a pty board, with a clock that moves 1 ms per read
// so that time-outs pass at once.
class BoardReplies : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = UseControls(&controls);
        app = std::make_unique<AppContext>();
        ASSERT_TRUE(app->boardPort.Open(3, 115200));
    }
    void TearDown() override
    {
        JoinAnswer();
        app.reset();
        UseControls(previous_);
    }

    // Sends the bytes and waits until the program's side has them all.
    void Queue(const std::vector<uint8_t>& bytes)
    {
        board.Send(bytes);
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (app->boardPort.BytesWaiting() < bytes.size() && std::chrono::steady_clock::now() < end) {
        }
        ASSERT_EQ(app->boardPort.BytesWaiting(), bytes.size());
    }

    // Answers the next request from a thread once it has come; the clock
    // stands still meanwhile, so no time-out can pass first.
    void AnswerNext(std::vector<uint8_t> request, std::vector<uint8_t> reply)
    {
        clock.SetStep(0);
        answer_ = std::thread([this, request, reply] {
            if (board.Received() == request) board.Send(reply);
        });
    }
    void JoinAnswer()
    {
        if (answer_.joinable()) answer_.join();
    }

    PtyBoard board{3};
    FakeClock clock{1};
    RecordingControls controls;
    std::unique_ptr<AppContext> app;

private:
    Controls* previous_ = nullptr;
    std::thread answer_;
};

} // namespace

TEST_F(BoardReplies, SilentBoardTimesOutAfterOneHundredMilliseconds)
{
    int32_t value = 77;
    const uint64_t start = clock.Now();
    EXPECT_FALSE(ReadReply(*app, 1, value));
    EXPECT_EQ(value, 77) << "nothing stored";
    EXPECT_GE(clock.Now() - start, 100u);
    EXPECT_LT(clock.Now() - start, 110u);
}

TEST_F(BoardReplies, TwoAndFourBytesAreLittleEndianOtherCountsInArrivalOrder)
{
    int32_t value = 0;
    Queue({0x10, 0x27, 0x00, 0x00});
    EXPECT_TRUE(ReadReply(*app, 4, value));
    EXPECT_EQ(value, 10000);
    Queue({0x84, 0x03});
    EXPECT_TRUE(ReadReply(*app, 2, value));
    EXPECT_EQ(value, 900);
    Queue({0x01, 0x02, 0x03});
    EXPECT_TRUE(ReadReply(*app, 3, value));
    EXPECT_EQ(value, 0x010203);
}

TEST_F(BoardReplies, ReadSendsItsFrameAndPausesFiveMilliseconds)
{
    AnswerNext({'p', 17, 1}, {0x80});
    EXPECT_EQ(ReadParam(*app, 17, 1, 0), -128);
    JoinAnswer();
    EXPECT_EQ(clock.Sleeps(), std::vector<uint32_t>{5});
    AnswerNext({'p', 80, 2}, {0xFF, 0xFF});
    EXPECT_EQ(ReadParam(*app, 80, 2, 0), -1);
}

TEST_F(BoardReplies, UnansweredReadKeepsTheRecordsValue)
{
    ParamControl& angle = app->params[MaxAngle];
    angle.number = 8;
    angle.widthCode = WidthCode4;
    angle.value = 540;
    RefreshParam(*app, angle);
    EXPECT_EQ(angle.value, 540);
    EXPECT_EQ(ReadParam(*app, 8, 4, -7), -7);
}

TEST_F(BoardReplies, WriteFrameIsBigEndianAndPausesTwentyMilliseconds)
{
    ParamControl& offset = app->params[CenterOffset];
    offset.number = 4;
    offset.widthCode = WidthCode4;
    offset.value = -2;
    SendParam(*app, offset);
    EXPECT_EQ(board.Received(), (std::vector<uint8_t>{'P', 4, 4, 0xFF, 0xFF, 0xFF, 0xFE}));
    EXPECT_EQ(clock.Sleeps(), std::vector<uint32_t>{20});
    SendRaw(*app, 80, 2, 4096);
    EXPECT_EQ(board.Received(), (std::vector<uint8_t>{'P', 80, 2, 0x10, 0x00}));
}

TEST_F(BoardReplies, RecordWithoutValidWidthIsNeitherReadNorSent)
{
    ParamControl odd;
    odd.number = 40;
    odd.widthCode = 7;
    odd.value = 3;
    SendParam(*app, odd);
    RefreshParam(*app, odd);
    SendRaw(*app, 40, 5, 1);
    SendRaw(*app, 40, 0, 1);
    EXPECT_TRUE(board.Received().empty()) << "no frame wider than 4 bytes or without a value";
    EXPECT_EQ(odd.value, 3);
}

TEST(BoardLateReplies, LeftoverOfALateAnswerIsNotTakenForTheNextRead)
{
    PtyBoard board(3);
    auto app = std::make_unique<AppContext>();
    ASSERT_TRUE(app->boardPort.Open(3, 115200));
    board.Send({0x55}); // the answer to an earlier read, come too late
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (app->boardPort.BytesWaiting() == 0 && std::chrono::steady_clock::now() < end) {
    }
    std::thread answer([&] {
        if (board.Received() == std::vector<uint8_t>{'p', 17, 1}) board.Send({0x2A});
    });
    EXPECT_EQ(ReadParam(*app, 17, 1, -1), 0x2A);
    answer.join();
}
