#include "BoardLinkFixture.h"
#include "ui/MainPage.h"

TEST_F(BoardLinkTest, WholeSetIsReadInItsOrderWithLittleEndianValues)
{
    WheelSim& sim = StartBoard({"--set", "4=10000", "--set", "80=65535", "--set", "17=128", "--set", "8=1080",
                                "--set", "36=3", "--set", "71=9", "--set", "73=2", "--set", "25=1"});
    ASSERT_TRUE(IdentifyWheel(*app, BoardCom));
    ReadAllParams(*app);
    const ParamControl* p = app->params;
    const PinMap& pins = app->pins;
    EXPECT_EQ((std::vector<int>{p[CenterOffset].value, p[LinearityX].value, p[MainGain].value, p[MaxAngle].value,
                                p[EncoderCounts].value, p[CommandMode].value, pins.buttonOutputMap[0], pins.buttonOutputMap[35],
                                pins.axisSources[0], pins.axisSources[1], pins.externalGainSource}),
              (std::vector<int>{10000, -1, -128, 1080, 10000, 1, 3, 9, NoPin, 2, 1})) << "0x10 0x27 0 0, 0xFF 0xFF, 0x80, ...";
    EXPECT_EQ(std::pair(Label(2023), Label(2029)), std::pair(std::string("1080 \xB0"), std::string("-100 %")));
    SendMarker(sim);
    std::vector<long> expected = {4, 8, 17, 18, 19, 20, 21, 22, 23, 26, 27, 24, 34, 28, 29, 30, 31, 32, 33, 16, 35, 79, 12, 77};
    for (long n = 36; n <= 71; ++n) expected.push_back(n);
    for (long k = 0; k < 4; ++k) expected.insert(expected.end(), {72 + k, 80 + 2 * k});
    expected.insert(expected.end(), {25, 199}); // the last, then the marker
    EXPECT_EQ(sim.Numbers("read"), expected);
    const std::vector<std::string> r = sim.Frames("read");
    EXPECT_EQ((std::vector<std::string>{r.at(0), r.at(1), r.at(2), r.at(61)}),
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

TEST_F(BoardLinkTest, MainPageStartIdentifiesTheStoredPortShowsTheBoardsValuesAndSendsThemBackAsTheDefaultProfile)
{
    WheelSim& sim = StartBoard({"--set", "8=1080", "--set", "17=100", "--set", "34=5"});
    app = std::make_unique<AppContext>(); // no page has bound it yet
    app->boardComPort = BoardCom;
    int page = 0;
    InitMainPage(*app, &page);
    const auto at = [&](int id) { return *ui.controls.Get(&page, id); };
    EXPECT_EQ(std::tuple(app->linkState, at(2037).position, at(2021).position, at(2121).checked, at(2126).checked),
              std::tuple(LinkWheelFound, 1080, 100, true, false)) << "Invert and Manual from WheelFlags 5";
    EXPECT_EQ((std::vector<std::string>{ui.controls.TextOf(&page, 2023), ui.controls.TextOf(&page, 2095),
                                        ui.controls.ComboTexts(&page, 1041).at(static_cast<std::size_t>(at(1041).selection))}),
              (std::vector<std::string>{"1080 \xB0", "0.21", "COM5"}));
    EXPECT_EQ(ui.controls.ComboTexts(&page, 1207), std::vector<std::string>{"Default"}) << "made from the values read";
    SendMarker(sim);
    const std::vector<std::string> writes = sim.Frames("write");
    EXPECT_EQ(std::tuple(writes.size(), writes.at(0), writes.at(1)), std::tuple(14u, "80,8,4,0,0,4,56", "80,17,1,100"));
}
