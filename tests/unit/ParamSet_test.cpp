#include "core/AppContext.h"
#include "core/ParamSet.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

TEST(ParamSet, ContextStartsWithTheDefaultsAndNothingBound)
{
    auto app = std::make_unique<AppContext>();
    for (int i = 0; i < ParamCount; ++i) {
        const ParamControl& r = app->params[i];
        EXPECT_EQ(r.value, ParamSet[i].defaultValue) << ParamSet[i].name;
        EXPECT_EQ(r.dialog, nullptr);
        EXPECT_EQ(r.number, 0);
        EXPECT_EQ(r.trackbarId, 0);
    }
    EXPECT_EQ(app->params[CommandMode].value, 1);
    EXPECT_EQ(app->params[EncoderCounts].value, 10000);
    EXPECT_EQ(app->params[StatisticsWindow].value, 10);
    EXPECT_EQ(app->params[LinearityRx].value, 32);
    EXPECT_EQ(app->params[MaxAngle].value, 0);
    EXPECT_FALSE(app->boardPort.IsOpen());
    EXPECT_EQ(app->pins.buttonOutputMap[0], NoPin);
    EXPECT_EQ(app->pins.buttonOutputMap[35], NoPin);
    EXPECT_EQ(app->pins.axisSources[3], NoPin);
}

TEST(ParamSet, ThirtyOneRecordsInTheirOrderWithNumbers)
{
    std::vector<std::string> names;
    std::vector<int> numbers;
    for (const ParamDefinition& d : ParamSet) {
        names.push_back(d.name);
        numbers.push_back(d.number);
    }
    EXPECT_EQ(names.size(), 31u);
    EXPECT_EQ(names.front(), "MaxAngle");
    EXPECT_EQ(names[11], "CommandMode");
    EXPECT_EQ(names.back(), "DebugLevel");
    EXPECT_EQ(numbers, (std::vector<int>{8,  4,  17, 254, 18, 19, 20, 21, 22, 23, 24, 35, 12, 79, 255, 77,
                                         255, 26, 27, 28, 29, 30, 31, 32, 33, 80, 82, 84, 86, 34, 16}));
}

TEST(ParamSet, EffectTrackbarsShareRangeStepKindAndUnit)
{
    int effects = 0;
    for (const ParamDefinition& d : ParamSet) {
        if (d.maximum == 127 && d.trackbarId != 0) {
            ++effects;
            EXPECT_EQ(d.minimum, 0) << d.name;
            EXPECT_EQ(d.tickStep, 10) << d.name;
            EXPECT_EQ(d.displayKind, DisplayPercent127) << d.name;
            EXPECT_EQ(d.unit, '%') << d.name;
            EXPECT_EQ(d.widthCode, WidthCode1) << d.name;
        }
    }
    EXPECT_EQ(effects, 16);
}

TEST(ParamSet, WidthCodesIndexFourTwoOne)
{
    EXPECT_EQ(WidthOfCode(WidthCode4), 4);
    EXPECT_EQ(WidthOfCode(WidthCode2), 2);
    EXPECT_EQ(WidthOfCode(WidthCode1), 1);
    EXPECT_EQ(WidthOfCode(3), 0) << "no width past the table";
}
