#include "BoardLinkFixture.h"

TEST_F(BoardLinkTest, WholeSetIsReadInItsOrderWithLittleEndianValues)
{
    WheelSim& sim = StartBoard({"--set", "4=10000", "--set", "80=65535", "--set", "17=128", "--set", "8=1080",
                                "--set", "36=3", "--set", "71=9", "--set", "73=2", "--set", "25=1"});
    ASSERT_TRUE(IdentifyWheel(*app, BoardCom));
    ReadAllParams(*app);
    const ParamControl* p = app->params;
    EXPECT_EQ((std::vector<int>{p[CenterOffset].value, p[LinearityX].value, p[MainGain].value, p[MaxAngle].value,
                                p[EncoderCounts].value, p[CommandMode].value}),
              (std::vector<int>{10000, -1, -128, 1080, 10000, 1})) << "0x10 0x27 0 0, 0xFF 0xFF, 0x80, ...";
    const PinMap& pins = app->pins;
    EXPECT_EQ((std::vector<int>{pins.buttonOutputMap[0], pins.buttonOutputMap[35], pins.axisSources[0],
                                pins.axisSources[1], pins.externalGainSource}),
              (std::vector<int>{3, 9, NoPin, 2, 1}));
    EXPECT_EQ(std::pair(Label(2023), Label(2029)), std::pair(std::string("1080 \xB0"), std::string("-100 %")));
    SendMarker(sim);
    std::vector<long> expected = {4, 8, 17, 18, 19, 20, 21, 22, 23, 26, 27, 24, 34, 28, 29, 30, 31, 32, 33, 16, 35, 79, 12, 77};
    for (long n = 36; n <= 71; ++n) expected.push_back(n);
    for (long k = 0; k < 4; ++k) expected.insert(expected.end(), {72 + k, 80 + 2 * k});
    expected.insert(expected.end(), {25, 199}); // the last, then the marker
    EXPECT_EQ(sim.Numbers("read"), expected);
    const std::vector<std::string> reads = sim.Frames("read");
    ASSERT_EQ(reads.size(), 70u);
    EXPECT_EQ((std::vector<std::string>{reads[0], reads[1], reads[2], reads[61]}),
              (std::vector<std::string>{"112,4,4", "112,8,4", "112,17,1", "112,80,2"}));
}

TEST_F(BoardLinkTest, DefaultsAreRestoredAndTheAdvancedSettingsReadBack)
{
    WheelSim& sim = StartBoard({"--set", "77=20"});
    ASSERT_TRUE(IdentifyWheel(*app, BoardCom));
    SendRaw(*app, 77, 1, 5);
    app->params[Filter].value = 5;
    ResetBoardDefaults(*app);
    EXPECT_EQ(std::pair(app->params[Filter].value, Label(1078)), std::pair(20, std::string("63 %")));
    SendMarker(sim);
    EXPECT_EQ(sim.Frames("defaults"), std::vector<std::string>{"68"});
    const std::vector<long> numbers = sim.Numbers("read");
    ASSERT_EQ(numbers.size(), 4u + 45u + 1u) << "the advanced four, the pin map, the marker";
    EXPECT_EQ(std::vector<long>(numbers.begin(), numbers.begin() + 4), (std::vector<long>{35, 79, 12, 77}));
}
