#include "platform/RecordingCanvas.h"
#include "ui/WheelStateDrawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class WheelStateDrawing : public ::testing::Test {
protected:
    void SetUp() override { previous_ = UseCanvas(&canvas); }
    void TearDown() override { UseCanvas(previous_); }

    const std::vector<std::string>& Draw(int32_t x, int32_t y, int32_t z, int32_t rx, uint32_t buttons,
                                         int32_t maxAngle = 900)
    {
        const int32_t axes[6] = {x, y, z, rx, 0, 0};
        canvas.Clear();
        DrawWheelState(&page, axes, buttons, maxAngle);
        return canvas.Operations();
    }

    std::vector<std::string> Starting(const std::string& prefix) const
    {
        std::vector<std::string> found;
        for (const std::string& op : canvas.Operations()) {
            if (op.rfind(prefix, 0) == 0) found.push_back(op);
        }
        return found;
    }

    bool Has(const std::string& op) const
    {
        const auto& ops = canvas.Operations();
        return std::find(ops.begin(), ops.end(), op) != ops.end();
    }

    RecordingCanvas canvas;
    int page = 0;

private:
    Canvas* previous_ = nullptr;
};

} // namespace

TEST_F(WheelStateDrawing, CentredWheelDrawsTheArrowForZeroDegrees)
{
    const auto& ops = Draw(32767, 0, 0, 0, 0);
    ASSERT_GE(ops.size(), 3u);
    EXPECT_EQ(ops[0], "begin 0 120 70 180");
    EXPECT_EQ(ops[1], "pen 2 ff0000");
    EXPECT_EQ(ops[2], "polygon 45,145 15,146 30,175");
    EXPECT_EQ(ops.back(), "end");
}

TEST_F(WheelStateDrawing, FullRightWithNineHundredDegreesTurnsTheArrowByFourHundredFifty)
{
    Draw(65535, 0, 0, 0, 0);
    EXPECT_EQ(Starting("polygon"), std::vector<std::string>{"polygon 40,169 39,140 10,155"});
}

TEST_F(WheelStateDrawing, FullLeftWithOneHundredEightyDegreesCutsTheAngleTowardZero)
{
    // -32767 x 180 / 65535 is -89.998: the arrow is drawn for -89 degrees.
    Draw(0, 0, 0, 0, 0, 180);
    EXPECT_EQ(Starting("polygon"), std::vector<std::string>{"polygon 21,140 20,169 49,155"});
}

TEST_F(WheelStateDrawing, BarFramesAndButtonFramesInBlack)
{
    Draw(32767, 0, 0, 0, 0);
    EXPECT_TRUE(Has("pen 1 000000"));
    for (const char* frame : {"rect 60 140 70 180", "rect 80 140 90 180", "rect 100 140 110 180"}) {
        EXPECT_TRUE(Has(frame)) << frame;
    }
    // Button 1 at the top left, button 32 at the bottom right.
    EXPECT_TRUE(Has("rect 120 140 140 158"));
    EXPECT_TRUE(Has("rect 295 209 315 227"));
}

TEST_F(WheelStateDrawing, FullAxisFillsItsBarThirtyEightPixelsAndZeroLeavesItEmpty)
{
    Draw(32767, 65535, 0, 32767, 0);
    const std::vector<std::string> bars = {Starting("rect 61 ").at(0), Starting("rect 81 ").at(0),
                                           Starting("rect 101 ").at(0)};
    EXPECT_EQ(bars[0], "rect 61 142 69 179");
    EXPECT_EQ(bars[1], "rect 81 180 89 179");
    EXPECT_EQ(bars[2], "rect 101 162 109 179") << "half travel: 18 of 38 pixels";
    // The bars are filled red.
    const auto& ops = canvas.Operations();
    const auto brush = std::find(ops.begin(), ops.end(), "brush ff0000");
    const auto firstBar = std::find(ops.begin(), ops.end(), "rect 61 142 69 179");
    EXPECT_LT(brush, firstBar);
}

TEST_F(WheelStateDrawing, PressedButtonIsFilledRedWithItsNumberOnRed)
{
    Draw(32767, 0, 0, 0, 1u);
    EXPECT_EQ(Starting("fill"), std::vector<std::string>{"fill 121 141 139 157 ff0000"});
    const auto& ops = canvas.Operations();
    const auto one = std::find(ops.begin(), ops.end(), "text \"1\" 126 141 138 156");
    ASSERT_NE(one, ops.end());
    EXPECT_EQ(*(one - 1), "colors 000000 ff0000");
    const auto two = std::find(ops.begin(), ops.end(), "text \"2\" 151 141 163 156");
    ASSERT_NE(two, ops.end());
    EXPECT_EQ(*(two - 1), "colors 000000 ffffff");
}

TEST_F(WheelStateDrawing, TwoDigitNumbersAreCentredOnTheirWidth)
{
    Draw(32767, 0, 0, 0, 1u << 31);
    EXPECT_EQ(Starting("fill"), std::vector<std::string>{"fill 296 210 314 226 ff0000"});
    EXPECT_TRUE(Has("text \"32\" 297 210 313 225"));
    EXPECT_TRUE(Has("text \"10\" 147 164 163 179"));
}

TEST_F(WheelStateDrawing, NothingIsDrawnWithoutAPage)
{
    const int32_t axes[6] = {};
    DrawWheelState(nullptr, axes, 0, 900);
    EXPECT_TRUE(canvas.Operations().empty());
}
