#include "core/AppContext.h"
#include "board/ParamDisplay.h"
#include "core/ParamSet.h"
#include "platform/RecordingControls.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class ParamBinding : public ::testing::Test {
protected:
    void SetUp() override { previous_ = UseControls(&controls); }
    void TearDown() override { UseControls(previous_); }

    RecordingControls controls;
    int dialog = 0;

private:
    Controls* previous_ = nullptr;
};

} // namespace

TEST_F(ParamBinding, TrackbarGetsItsRangeAndTicksStrictlyInside)
{
    ParamControl gain;
    gain.value = 64;
    BindControl(gain, &dialog, 2021, 2029, 17, WidthCode1, 0, 127, 10, DisplayPercent127, '%');
    const RecordingControls::Control* bar = controls.Get(&dialog, 2021);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->rangeMinimum, 0);
    EXPECT_EQ(bar->rangeMaximum, 127);
    EXPECT_EQ(bar->ticks, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110}));
    EXPECT_EQ(bar->position, 64);
    EXPECT_EQ(controls.TextOf(&dialog, 2029), "50 %");
    EXPECT_EQ(gain.trackbar, controls.Find(&dialog, 2021));
    EXPECT_EQ(gain.value, 64) << "binding keeps the value";
}

TEST_F(ParamBinding, TickAtTheLastStepBeforeTheEnd)
{
    ParamControl angle;
    BindControl(angle, &dialog, 2037, 2023, 8, WidthCode4, 180, 2160, 10, DisplayNumberUnit, DegreeSign);
    const std::vector<int>& ticks = controls.Get(&dialog, 2037)->ticks;
    ASSERT_FALSE(ticks.empty());
    EXPECT_EQ(ticks.front(), 190);
    EXPECT_EQ(ticks.back(), 2150);
    EXPECT_EQ(ticks.size(), 197u);
}

TEST_F(ParamBinding, StepOfZeroGivesNoTicksInsteadOfLoopingForever)
{
    ParamControl odd;
    BindControl(odd, &dialog, 1500, 1501, 40, WidthCode1, 0, 100, 0, DisplayNumber, 0);
    EXPECT_TRUE(controls.Get(&dialog, 1500)->ticks.empty());
    EXPECT_TRUE(controls.Get(&dialog, 1500)->hasRange);
}

TEST_F(ParamBinding, WithoutDialogOnlyTheFieldsAreStored)
{
    ParamControl angle;
    angle.value = 900;
    BindControl(angle, nullptr, 2037, 2023, 8, WidthCode4, 180, 2160, 10, DisplayNumberUnit, DegreeSign);
    EXPECT_EQ(angle.number, 8);
    EXPECT_EQ(angle.maximum, 2160);
    EXPECT_EQ(angle.trackbar, nullptr);
    EXPECT_TRUE(controls.Journal().empty());
    ShowValue(angle);
    FormatValue(angle);
    EXPECT_TRUE(controls.Journal().empty());
}

TEST_F(ParamBinding, ComboKindSelectsTheItemOfTheValue)
{
    controls.AddComboItem(&dialog, 1044, "Off", 0);
    controls.AddComboItem(&dialog, 1044, "Low", 1);
    controls.AddComboItem(&dialog, 1044, "High", 2);
    ParamControl level;
    level.value = 2;
    BindControl(level, &dialog, 0, 1044, 16, WidthCode1, 0, 3, 1, DisplayComboIndex, 0);
    EXPECT_EQ(controls.ComboSelection(&dialog, 1044), 2);
    EXPECT_EQ(controls.TextOf(&dialog, 1044), "") << "no label text for a combo";
}

TEST_F(ParamBinding, TrackbarWindowFindsItsRecordButFlagsAndDebugLevelAreNeverFound)
{
    auto app = std::make_unique<AppContext>();
    for (int i = 0; i < ParamCount; ++i) {
        const ParamDefinition& d = ParamSet[i];
        BindControl(app->params[i], &dialog, d.trackbarId, d.labelId, d.number, d.widthCode, d.minimum, d.maximum,
                    d.tickStep, d.displayKind, d.unit);
    }
    EXPECT_EQ(FindParamControl(*app, controls.Find(&dialog, 2037)), &app->params[MaxAngle]);
    EXPECT_EQ(FindParamControl(*app, controls.Find(&dialog, 2066)), &app->params[UserFxInertia]);
    EXPECT_EQ(FindParamControl(*app, controls.Find(&dialog, 1079)), &app->params[TorqueBandwidth]);
    EXPECT_EQ(FindParamControl(*app, controls.Find(&dialog, 1198)), &app->params[LinearityX])
        << "the first of the curves sharing the editor's trackbar";
    EXPECT_EQ(FindParamControl(*app, controls.Find(&dialog, 9999)), nullptr);
    EXPECT_EQ(FindParamControl(*app, nullptr), nullptr) << "records without a trackbar do not match a null window";
}
