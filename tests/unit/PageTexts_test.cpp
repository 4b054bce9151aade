// What the pages show: parameter labels and trackbars, link and calibration texts, the wheel's drawing.
#include "board/LinkState.h"
#include "ui/WheelStateDrawing.h"
#include "../support/Doubles.h"
#include <gtest/gtest.h>
#include <tuple>

namespace {
// Records of the set bound to a recorded page, as the main page binds them.
class PageTexts : public ::testing::Test, protected AppPage {
protected:
    std::string LabelOf(ParamIndex index, int32_t value)
    {
        app->params[index].value = value;
        BindFromSet(*app, index, &page);
        return ui.controls.TextOf(&page, ParamSet[index].labelId);
    }
};
} // namespace

TEST_F(PageTexts, EachDisplayKindWritesItsTextAndTheKindsWithoutTextLeaveTheControlAlone)
{
    const std::tuple<ParamIndex, int32_t, const char*> cases[] = {
        {MaxAngle, 900, "900 \xB0"}, {MainGain, 127, "100 %"}, {MainGain, 100, "78 %"}, {MainGain, 64, "50 %"},
        {GameFxSpring, 1, "0 %"}, {StopDamper, -64, "-50 %"}, {ExternalGain, 127, "100 %"}, {Filter, 1, "0 %"},
        {Filter, 16, "50 %"}, {Filter, 31, "100 %"}, {StatisticsWindow, 10, "1.0 s"}, {StatisticsWindow, 95, "9.5 s"},
        {StatisticsWindow, 100, "10 s"}, {StatisticsWindow, 599, "60 s"}, {StatisticsWindow, 600, "1.0 mn"},
        {StatisticsWindow, 3000, "5.0 mn"}, {TorqueBandwidth, -1, "---"}, {LinearityX, 4096, "1.00"},
        {LinearityRx, 8192, "2.00"}, {LinearityY, 512, "0.12"}, {CenterOffset, -12345, "-12345"}};
    for (const auto& [index, value, text] : cases) EXPECT_EQ(LabelOf(index, value), text) << ParamSet[index].name << " " << value;
    const char* const bands[] = {"100 Hz", "150 Hz", "220 Hz", "330 Hz", "470 Hz", "680 Hz", "1000 Hz", "1500 Hz", "2200 Hz",
                                 "3300 Hz", "4700 Hz", "Unlimited", "---"};
    for (int32_t band = 0; band <= 12; ++band) EXPECT_EQ(LabelOf(TorqueBandwidth, band), bands[band]) << band;
    char text[8] = "same";
    for (uint8_t kind : std::initializer_list<uint8_t>{DisplayFlags, DisplayComboIndex, DisplayEdit, 10})
        EXPECT_FALSE(FormatValueText(kind, 5, '%', text, sizeof text) || std::string(text) != "same") << int{kind};
    EXPECT_TRUE(FormatValueText(DisplayNumber, -2147483647, 0, text, 4));
    EXPECT_STREQ(text, "-21") << "cut to the buffer";
    for (const char* item : {"Off", "Low", "High"}) ui.controls.AddComboItem(&page, 1044, item, 0);
    EXPECT_EQ(LabelOf(DebugLevel, 2), "");
    EXPECT_EQ(ui.controls.ComboSelection(&page, 1044), 2) << "a combo label selects the item of the value";
    LabelOf(EncoderCounts, 10000);
    EXPECT_EQ(ui.controls.Get(&page, 2062), nullptr) << "the edit box is its dialog's to fill";
}

TEST_F(PageTexts, TrackbarGetsItsRangePositionAndTicksStrictlyInsideAndIsFoundByItsWindow)
{
    app->params[MainGain].value = 64;
    BindParams(*app, &page);
    const RecordingControls::Control& gain = *ui.controls.Get(&page, 2021);
    EXPECT_EQ(std::tuple(gain.rangeMinimum, gain.rangeMaximum, gain.position), std::tuple(0, 127, 64));
    EXPECT_EQ(gain.ticks, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110}));
    const std::vector<int>& angle = ui.controls.Get(&page, 2037)->ticks;
    EXPECT_EQ(std::tuple(angle.size(), angle.back()), std::tuple(197u, 2150));
    const std::pair<int, ParamControl*> found[] = {{2037, &app->params[MaxAngle]}, {2066, &app->params[UserFxInertia]},
        {1079, &app->params[TorqueBandwidth]}, {1198, &app->params[LinearityX]}, {9999, nullptr}};
    for (const auto& [id, record] : found) EXPECT_EQ(FindParamControl(*app, ui.controls.Find(&page, id)), record) << id;
    EXPECT_EQ(FindParamControl(*app, nullptr), nullptr) << "records without a trackbar do not match a null window";
    ParamControl odd;
    BindControl(odd, &page, 1500, 1501, 40, WidthCode1, 0, 100, 0, DisplayNumber, 0);
    EXPECT_TRUE(ui.controls.Get(&page, 1500)->hasRange && ui.controls.Get(&page, 1500)->ticks.empty()) << "step 0: no ticks";
    ui.controls.Clear();
    BindParams(*app, nullptr);
    EXPECT_EQ(app->params[MaxAngle].number, 8);
    ShowValue(app->params[MaxAngle]);
    FormatValue(app->params[MaxAngle]);
    EXPECT_TRUE(ui.controls.Journal().empty()) << "without a dialog only the fields are stored";
}

TEST(ParamSet, TextsOfLinkStatesAndPhasesAndTheEffectTrackbarsRange)
{
    const std::string states[] = {"Disconnected", "Connected", "Wheel Found", "Wheel Ready", "Wheel Error", ""};
    for (uint8_t s = 0; s <= 5; ++s) EXPECT_EQ(LinkStateText(s), states[s]);
    const std::string phases[] = {"Disconnected", "Calibrating Dir", "Calibrating Dir", "Calibrating left",
        "Calibrating right", "Searching index", "Homing", "Calibration error", "Ready", "Ready", "Ready"};
    for (uint8_t p = 0; p <= 10; ++p) EXPECT_EQ(CalibrationPhaseText(p == 10 ? 255 : p), phases[p]) << int{p};
    for (const ParamDefinition& d : ParamSet) {
        if (d.displayKind != DisplayPercent127) continue;
        EXPECT_EQ(std::tuple(d.minimum, d.maximum, d.tickStep, d.unit), std::tuple(0, 127, 10, uint8_t{'%'})) << d.name;
    }
}

TEST_F(PageTexts, WheelStateDrawingHasArrowBarsAndButtons)
{
    const struct { const char* name; int32_t axes[6]; uint32_t buttons; int32_t angle; std::vector<std::string> ops; } cases[] = {
        {"centred", {32767}, 0, 900,
         {"begin 0 120 70 180", "pen 2 ff0000", "polygon 45,145 15,146 30,175", "pen 1 000000", "rect 60 140 70 180",
          "rect 80 140 90 180", "rect 100 140 110 180", "rect 120 140 140 158", "rect 295 209 315 227", "brush ff0000",
          "colors 000000 ffffff", "text \"1\" 126 141 138 156", "text \"10\" 147 164 163 179",
          "text \"32\" 297 210 313 225", "rect 61 180 69 179", "end"}},
        {"full right of 900 degrees", {65535}, 0, 900, {"polygon 40,169 39,140 10,155"}},
        {"full left of 180 degrees: -89.998 cut to -89", {0}, 0, 180, {"polygon 21,140 20,169 49,155"}},
        {"bars full, empty and half", {32767, 65535, 0, 32767}, 0, 900,
         {"brush ff0000", "rect 61 142 69 179", "rect 81 180 89 179", "rect 101 162 109 179"}},
        {"buttons 1 and 32", {32767}, 1u | 1u << 31, 900,
         {"fill 121 141 139 157 ff0000", "colors 000000 ff0000", "text \"1\" 126 141 138 156", "colors 000000 ffffff",
          "fill 296 210 314 226 ff0000", "colors 000000 ff0000", "text \"32\" 297 210 313 225"}}};
    for (const auto& c : cases) {
        ui.canvas.Clear();
        DrawWheelState(&page, c.axes, c.buttons, c.angle);
        const std::vector<std::string>& ops = ui.canvas.Operations();
        auto at = ops.begin();
        for (const std::string& op : c.ops) ASSERT_NE(at = std::find(at, ops.end(), op), ops.end()) << c.name << ": " << op;
        EXPECT_EQ(CountStarting(ops, "fill"), CountStarting(c.ops, "fill")) << c.name << ": every fill is listed";
    }
    ui.canvas.Clear();
    DrawWheelState(nullptr, {}, 0, 900);
    EXPECT_TRUE(ui.canvas.Operations().empty()) << "nothing is drawn without a page";
}

// At 150 % and 200 % the drawing keeps its place beside the page's controls,
// which grow with their font: every figure, pen and text box scales.
TEST_F(PageTexts, WheelStateDrawingScalesWithTheWindowsDpi)
{
    DrawingExtent at96;
    for (const auto& [dpi, pens] : {std::pair{96, std::vector{2, 1}}, {144, {3, 2}}, {192, {4, 2}}}) {
        ui.canvas.Clear(), ui.canvas.SetDpi(dpi);
        DrawWheelState(&page, {0, 65535, 65535, 65535}, 0xffffffffu, 1080);
        const DrawingExtent e = MeasureDrawing(ui.canvas.Operations());
        if (dpi == 96) at96 = e;
        const double scale = dpi / 96.0;
        for (const auto& [side, at] : {std::pair{e.left, at96.left}, {e.top, at96.top}, {e.right, at96.right}, {e.bottom, at96.bottom}})
            EXPECT_NEAR(side, at * scale, 2) << dpi;
        EXPECT_EQ(e.pens, pens) << dpi;
    }
    EXPECT_EQ(std::tie(at96.left, at96.top, at96.right, at96.bottom), std::tuple(15, 136, 315, 227));
}
