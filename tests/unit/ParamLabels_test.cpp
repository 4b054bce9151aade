#include "board/ParamDisplay.h"
#include "core/ParamSet.h"
#include "platform/RecordingControls.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A record of the parameter set bound to a recorded dialog.
class ParamLabels : public ::testing::Test {
protected:
    void SetUp() override { previous_ = UseControls(&controls_); }
    void TearDown() override { UseControls(previous_); }

    std::string LabelOf(ParamIndex index, int32_t value)
    {
        const ParamDefinition& d = ParamSet[index];
        ParamControl record;
        record.value = value;
        BindControl(record, &dialog_, d.trackbarId, d.labelId, d.number, d.widthCode, d.minimum, d.maximum, d.tickStep,
                    d.displayKind, d.unit);
        return controls_.TextOf(&dialog_, d.labelId);
    }

    RecordingControls controls_;

private:
    int dialog_ = 0;
    Controls* previous_ = nullptr;
};

} // namespace

TEST_F(ParamLabels, MaxAngleShowsDegreesWithTheDegreeSign)
{
    EXPECT_EQ(LabelOf(MaxAngle, 900), "900 \xB0");
    EXPECT_EQ(LabelOf(MaxAngle, 2160), "2160 \xB0");
}

TEST_F(ParamLabels, EffectGainsShowPercentOf127)
{
    EXPECT_EQ(LabelOf(MainGain, 127), "100 %");
    EXPECT_EQ(LabelOf(MainGain, 64), "50 %");
    EXPECT_EQ(LabelOf(MainGain, 0), "0 %");
    EXPECT_EQ(LabelOf(GameFxSpring, 1), "0 %");
    EXPECT_EQ(LabelOf(StopDamper, -64), "-50 %") << "truncated toward zero";
}

TEST_F(ParamLabels, FilterShowsOneToThirtyOneAsZeroToHundredPercent)
{
    EXPECT_EQ(LabelOf(Filter, 1), "0 %");
    EXPECT_EQ(LabelOf(Filter, 31), "100 %");
    EXPECT_EQ(LabelOf(Filter, 16), "50 %");
}

TEST_F(ParamLabels, StatisticsWindowShowsSecondsThenMinutes)
{
    EXPECT_EQ(LabelOf(StatisticsWindow, 10), "1.0 s");
    EXPECT_EQ(LabelOf(StatisticsWindow, 95), "9.5 s");
    EXPECT_EQ(LabelOf(StatisticsWindow, 99), "9.9 s");
    EXPECT_EQ(LabelOf(StatisticsWindow, 100), "10 s");
    EXPECT_EQ(LabelOf(StatisticsWindow, 599), "60 s") << "59.9 s rounds in \"%2.0f\"";
    EXPECT_EQ(LabelOf(StatisticsWindow, 600), "1.0 mn");
    EXPECT_EQ(LabelOf(StatisticsWindow, 3000), "5.0 mn");
}

TEST_F(ParamLabels, TorqueBandwidthShowsHertzOrUnlimited)
{
    EXPECT_EQ(LabelOf(TorqueBandwidth, 0), "100 Hz");
    EXPECT_EQ(LabelOf(TorqueBandwidth, 10), "4700 Hz");
    EXPECT_EQ(LabelOf(TorqueBandwidth, 11), "Unlimited");
    EXPECT_EQ(LabelOf(TorqueBandwidth, 12), "---") << "no table entry to read past the end";
    EXPECT_EQ(LabelOf(TorqueBandwidth, -1), "---");
}

TEST_F(ParamLabels, LinearityShowsFixedPointWithTwoDecimals)
{
    EXPECT_EQ(LabelOf(LinearityX, 4096), "1.00");
    EXPECT_EQ(LabelOf(LinearityRx, 8192), "2.00");
    EXPECT_EQ(LabelOf(LinearityY, 512), "0.12");
    EXPECT_EQ(LabelOf(LinearityZ, 32767), "8.00");
}

TEST_F(ParamLabels, PlainNumberForCenterOffset)
{
    EXPECT_EQ(LabelOf(CenterOffset, -12345), "-12345");
    EXPECT_EQ(LabelOf(CenterOffset, 2147483647), "2147483647");
}

TEST_F(ParamLabels, ExternalGainSharesTheEffectPercent)
{
    EXPECT_EQ(LabelOf(ExternalGain, 127), "100 %");
}

TEST_F(ParamLabels, KindsWithoutTextLeaveTheControlAlone)
{
    for (uint8_t kind : {uint8_t{DisplayFlags}, uint8_t{DisplayComboIndex}, uint8_t{DisplayEdit}, uint8_t{10}, uint8_t{255}}) {
        char text[64] = "unchanged";
        EXPECT_FALSE(FormatValueText(kind, 5, '%', text, sizeof text)) << int{kind};
        EXPECT_STREQ(text, "unchanged");
    }
    int dialog = 0;
    ParamControl edit;
    edit.value = 10000;
    BindControl(edit, &dialog, 0, 2062, 12, WidthCode4, 1, 2147483647, 1, DisplayEdit, 0);
    EXPECT_EQ(controls_.Get(&dialog, 2062), nullptr) << "the edit box is its dialog's to fill";
}

TEST_F(ParamLabels, LongTextsAreCutToTheBuffer)
{
    char text[4];
    EXPECT_TRUE(FormatValueText(DisplayNumber, -2147483647, 0, text, sizeof text));
    EXPECT_STREQ(text, "-21");
}
