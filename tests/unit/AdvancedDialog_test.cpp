// The advanced settings and linearity editor: pins offered, choices on the wire, a bad PPR refused, the curve drawn.
#include "board/LinkState.h"
#include "ui/AdvancedDialog.h"
#include "ui/LinearityEditor.h"
#include "ui/MainPage.h"
#include "ui/PinRules.h"
#include "../support/Doubles.h"
#include "PtyBoard.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<uint8_t>;

class Advanced : public ::testing::Test, protected AppPage {
protected:
    void SetUp() override { ASSERT_TRUE((app->mainPage = &page) && app->boardPort.Open(3, 115200)); }

    // The combo's entries as ",A,B,", and the one selected.
    std::string Texts(NativeHandle dialog, int id)
    {
        std::string joined = ",";
        for (const std::string& text : controls.ComboTexts(dialog, id)) joined += text + ",";
        return joined;
    }
    std::string Shown(NativeHandle d, int id)
    {
        const int at = controls.ComboSelection(d, id);
        return at < 0 ? "" : controls.ComboTexts(d, id).at(static_cast<std::size_t>(at));
    }
    // The entries of the combo's list once it is opened.
    std::string Listed(DialogLogic& logic, NativeHandle dialog, int id)
    {
        EXPECT_EQ(logic.Notified(dialog, id, ComboListOpening), -1);
        return Texts(dialog, id);
    }
    // Picks the entry from the opened list as the user does (with the notification code); what went on the wire.
    Bytes Pick(DialogLogic& logic, NativeHandle dialog, int id, const std::string& text, int code = ComboSelectionChanged)
    {
        Listed(logic, dialog, id);
        const std::vector<std::string> texts = controls.ComboTexts(dialog, id);
        controls.SelectComboItem(dialog, id, static_cast<int>(std::find(texts.begin(), texts.end(), text) - texts.begin()));
        EXPECT_EQ(std::tuple(Shown(dialog, id), logic.Notified(dialog, id, code)), std::tuple(text, -1));
        return board.Received(50);
    }

    RecordingControls& controls = ui.controls;
    PtyBoard board{3};
    ScriptedDialogs dialogs;
};

} // namespace

TEST_F(Advanced, PinsAreOfferedOnlyWhereNothingElseHoldsThem)
{
    // The command mode; codes put in slots (0..35, then 36..39 the axis sources, 40 the external gain); the names gone
    // from every other mapping combo, some still there, their count; what the first mapping slot put shows.
    const struct { int32_t mode; std::vector<std::pair<int, uint8_t>> put; std::vector<std::string> gone, kept;
                   std::size_t count; const char* shown; } cases[] = {
        {0, {}, {"D11"}, {"None", "D10", "D12", "A0", "A5", "A6 (1)", "A11 (4)"}, 64, ""},
        {3, {}, {"D2", "D4", "D6", "D7", "D8", "D9", "D10", "D12", "A0", "A1", "A0 (1)", "A1 (4)", "A6 (2)", "A8 (1)",
                 "A9 (3)", "A10 (4)", "A11 (1)"}, {"D3", "D5", "D11", "D13", "A2", "A2 (1)", "A5 (4)"}, 27, ""},
        {0, {{0, 5}}, {"D5"}, {"D4"}, 63, "D5"},
        {0, {{36, SourceEncoder}}, {"D0", "D1", "D6"}, {"D2"}, 61, ""},
        {0, {{3, SubInput(PinA6, 1)}}, {"D4", "A6 (1)"}, {"A6 (2)", "A6 (3)", "A6 (4)"}, 62, "A6 (1)"},
        {0, {{3, 4}}, {"D4"}, {"A6 (1)", "A6 (2)", "A6 (3)", "A6 (4)"}, 63, "D4"},
        {0, {{37, SourceLc57}, {40, 20}}, {"D5", "D7", "A2", "A2 (3)"}, {"D6", "A3"}, 57, ""},
        {3, {{1, 2}}, {"D2"}, {"D3"}, 27, "None"},
        {0, {{37, 224}, {38, 225}, {39, 227}}, {"D2", "D3", "D4", "D12", "D8", "D9", "A6 (1)", "A11 (4)"}, {"D5"}, 42, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << ", first gone " << c.gone[0]);
        app = std::make_unique<AppContext>();
        app->params[CommandMode].value = c.mode;
        PinMap& pins = app->pins;
        for (auto [slot, code] : c.put)
            (slot < 36 ? pins.buttonOutputMap[slot] : slot < 40 ? pins.axisSources[slot - 36] : pins.externalGainSource) = code;
        FillPinCombos(*app, &page);
        const int own = c.put.empty() || c.put[0].first >= 36 ? -1 : c.put[0].first;
        for (int slot = 0; slot < 36; ++slot)
            EXPECT_EQ(Texts(&page, PinComboFirst + slot), "," + std::string(slot == own ? c.shown : "None") + ",")
                << "before its list opens a box holds its own code only, slot " << slot;
        for (int slot = 0; slot < 36; ++slot) {
            OfferPins(*app, &page, slot);
            const std::string texts = Texts(&page, PinComboFirst + slot);
            if (slot == own) continue;
            EXPECT_EQ(std::count(texts.begin(), texts.end(), ','), c.count + 1) << "slot " << slot;
            for (const std::string& name : c.gone) EXPECT_EQ(texts.find("," + name + ","), texts.npos) << name;
            for (const std::string& name : c.kept) EXPECT_NE(texts.find("," + name + ","), texts.npos) << name;
        }
        EXPECT_EQ(own < 0 ? "" : Shown(&page, PinComboFirst + own), c.shown) << "the mapping itself stays stored";
    }
}

TEST_F(Advanced, ChoicesGoOutAtOnceAndOkSendsTheDriveSettingsOnlyForAWholeNumberOfPulses)
{
    app->linkState = LinkWheelFound;
    app->controllerObjectMask[0] = 0b100011; // X, Y and Rz
    app->params[EncoderCounts].value = 10000;
    app->params[WheelFlags].value = 4;
    app->params[PwmFrequency].value = 5; // not in the list: kept as it is
    app->pins.axisSources[0] = SourceEncoder, app->pins.externalGainSource = PinA7; // A7 is not offered
    dialogs.user[AdvancedDialogId] = [&](DialogLogic& logic, NativeHandle d) {
        const std::string analog = "A0,A1,A2,A3,A4,A5,A6,A8,A9,A10,A11,";
        EXPECT_EQ(Texts(d, 1034) + Texts(d, 2116), ",PWM,PWM+Dir,PWM +/-,VNH5019,,4 KHz,8 KHz,20 KHz,");
        EXPECT_EQ(Texts(d, 1010) + Texts(d, 1013) + Texts(d, 1016),
                  ",None,Enc(0-1)," + analog + ",None,LC(5-7)," + analog + ",None," + analog);
        EXPECT_EQ(CountStarting(controls.Journal(), "1014 ") + CountStarting(controls.Journal(), "3036 "), 1)
            << "Ry's combo is only enabled, and there is no 37th mapping slot";
        std::string enabled;
        for (int id : {1010, 1083, 4, 1011, 1012, 1087, 7, 1015, 1088, 9}) enabled += controls.IsEnabled(d, id) ? '1' : '0';
        EXPECT_EQ(enabled, "1111000110") << "only the controller's axes, and no curve for Ry and Rz";
        EXPECT_EQ(controls.TextOf(d, 2062) + Shown(d, 1034) + Shown(d, 2116) + Shown(d, 3000) + Shown(d, 1010) +
                      Shown(d, 1016), "2500PWM+DirNoneEnc(0-1)None");
        EXPECT_TRUE(controls.IsChecked(d, 1079) && app->commandBusy);

        for (auto [id, text] : {std::pair{3000, "D5"}, {1010, "A0"}, {1016, "A3"}, {1034, "VNH5019"}})
            EXPECT_EQ(Pick(logic, d, id, text, 4), Bytes{}) << id << ": leaving the box is no choice";
        EXPECT_EQ(app->params[CommandMode].value, 1);
        EXPECT_EQ(Pick(logic, d, 3000, "D5"), (Bytes{'P', 36, 1, 5}));
        EXPECT_EQ(Listed(logic, d, 3001).find(",D5,"), std::string::npos);
        EXPECT_EQ(logic.Notified(d, 3002, ComboFocused), -1);
        EXPECT_EQ(controls.ComboTexts(d, 3002).size(), 55u) << "a box the keyboard reaches has its list";
        EXPECT_EQ(Pick(logic, d, 1011, "LC(5-7)"), (Bytes{'P', 73, 1, 226}));
        EXPECT_EQ(Pick(logic, d, 1016, "A3"), (Bytes{'P', 25, 1, 21}));
        EXPECT_EQ(Listed(logic, d, 3001).find(",A3"), std::string::npos) << "the gain's pin serves no button";
        EXPECT_EQ(Pick(logic, d, 1034, "VNH5019"), Bytes{});
        const std::string listed = Listed(logic, d, 3001);
        EXPECT_EQ(std::count(listed.begin(), listed.end(), ','), 20) << "D0, D1, D5, A3 and its sub-inputs besides the mode's";
        controls.SetChecked(d, 1079, false);
        EXPECT_EQ(std::tuple(logic.Notified(d, 1079, 0), app->params[WheelFlags].value), std::tuple(-1, 0));
        for (const char* typed : {"", "abc", "0", "-5", "2500 ", "536870912", "99999999999999999999"}) {
            controls.SetText(d, 2062, typed);
            EXPECT_EQ(logic.Notified(d, 1, 0), -1) << typed;
        }
        const RecordingControls::Message& told = controls.Messages().at(0);
        EXPECT_EQ(told.text + " " + std::to_string(told.style) + " " + std::to_string(controls.Messages().size()),
                  "Encoder PPR must be a whole number from 1 to 536870911. 48 7");
        EXPECT_EQ(board.Received(50), Bytes{}) << "a refused number sends nothing";
        controls.SetText(d, 2062, "2500");
        return logic.Notified(d, 1, 0);
    };
    EXPECT_TRUE(PageCommand(*app, 2123, &page));
    EXPECT_EQ(board.Received(), (Bytes{'P', 35, 1, 3, 'P', 79, 1, 5, 'P', 12, 4, 0, 0, 0x27, 0x10}));
    EXPECT_EQ(dialogs.opened, (std::vector<std::pair<NativeHandle, int>>{{&page, 2123}}));
    for (ParamIndex i : {CommandMode, EncoderCounts, PwmFrequency}) EXPECT_EQ(app->params[i].dialog, nullptr) << int{i};
    EXPECT_EQ(app->commandBusy, 0);
}

TEST_F(Advanced, EscapeKeepsWhatWasSentResetReadsBackAndTheEditorSendsEveryScroll)
{
    app->linkState = LinkWheelReady;
    app->controllerObjectMask[0] = 0b111111;
    app->replyLost = 1; // nothing is read back from this board: each read keeps its value
    int axis = 0; // X, Y, Z, Rx: parameters 80, 82, 84, 86
    dialogs.user[LinearityEditorId] = [&](DialogLogic& logic, NativeHandle d) {
        EXPECT_EQ(std::tuple(controls.TextOf(d, 1199), logic.TimerPeriodMs()), std::tuple("0.01", 33u));
        controls.SetTrackbarPosition(d, 1198, 8192);
        logic.Scrolled(d, controls.Find(d, 1198));
        logic.Timer(d);
        const Bytes sent{'P', uint8_t(80 + 2 * axis++), 2, 0x20, 0};
        EXPECT_EQ(std::tuple(controls.TextOf(d, 1199), board.Received(50)), std::tuple("2.00", sent));
        EXPECT_EQ(std::tuple(logic.Notified(d, 1200, 0), logic.Notified(d, 2, 0), logic.Notified(d, 1, 0)), std::tuple(-1, 0, 1));
        return 1;
    };
    dialogs.user[AdvancedDialogId] = [&](DialogLogic& logic, NativeHandle d) {
        EXPECT_EQ(Pick(logic, d, 3000, "D5"), (Bytes{'P', 36, 1, 5}));
        Pick(logic, d, 1034, "PWM");
        app->params[EncoderCounts].value = 8000; // as read back
        EXPECT_EQ(logic.Notified(d, 3, 0), -1);
        EXPECT_EQ(std::tuple(board.Received(), controls.TextOf(d, 2062)), std::tuple(Bytes{'D'}, "2000"));
        for (int id : {8, 9, 4, 5, 6, 7}) logic.Notified(d, id, 0);
        EXPECT_EQ(dialogs.opened.back(), std::pair(d, LinearityEditorId));
        for (int k = 0; k < 4; ++k) {
            const ParamControl& curve = app->params[LinearityX + k];
            EXPECT_EQ(std::tuple(curve.dialog, curve.value, app->commandBusy), std::tuple(nullptr, 8192, 1)) << k;
        }
        return logic.Notified(d, 2, 0);
    };
    PageCommand(*app, 2123, &page);
    EXPECT_EQ(dialogs.opened.size(), 5u) << "Ry and Rz have no curve to edit";
    EXPECT_EQ(board.Received(50), Bytes{});
    EXPECT_EQ(std::tuple(app->params[CommandMode].value, app->pins.buttonOutputMap[0]), std::tuple(0, 5));
}

TEST_F(Advanced, LinearityDrawingHasFrameGridCurveAndBars)
{
    ui.canvas.SetOuterSize(230, 300); // a 200 x 200 curve area
    // The value and live axis, then operations drawn in this order.
    const struct { int32_t value, live; std::vector<std::string> ops; } cases[] = {
        {4096, 32767, {"begin 0 0 230 222", "pen 2 000000", "rect 0 5 10 205", "rect 15 5 215 205", "rect 15 210 215 220",
                       "pen 1 101010", "move 35,5", "line 35,205", "move 195,5", "line 195,205", "move 15,25",
                       "line 215,25", "move 15,185", "line 215,185", "move 15,205", "line 17,203", "line 112,108",
                       "line 212,8", "brush ff0000", "colors 000000 ffffff", "rect 16 210 115 220", "rect 1 205 9 106",
                       "end"}}, // e = 1: the diagonal, and bars of one length
        {8192, 32767, {"line 17,203", "line 112,157", "line 212,9", "rect 16 210 157 220", "rect 1 205 9 106"}},
        {4096, 0, {"rect 16 210 16 220", "rect 1 205 9 205"}},
        {32767, 65535, {"line 17,203", "rect 16 210 216 220", "rect 1 205 9 5"}},
        {-4096, 65535, {"line 17,7", "line 212,7", "rect 16 210 216 220"}},
    };
    for (const auto& c : cases) {
        ui.canvas.Clear();
        DrawLinearity(&page, c.value, c.live);
        const std::vector<std::string>& ops = ui.canvas.Operations();
        auto at = ops.begin();
        for (const std::string& op : c.ops) ASSERT_NE(at = std::find(at, ops.end(), op), ops.end()) << c.value << ": " << op;
        EXPECT_EQ(std::tuple(CountStarting(ops, "move"), CountStarting(ops, "line")), std::tuple(19, 58)) << c.value;
    }
    ui.canvas.Clear(), ui.canvas.SetOuterSize(39, 300), DrawLinearity(&page, 4096, 0);
    EXPECT_TRUE(ui.canvas.Operations().empty()) << "no room for a grid step";
}

// The dialog grows with the DPI; the graph's margins and lines grow with it.
TEST_F(Advanced, LinearityDrawingScalesWithTheWindowsDpi)
{
    DrawingExtent at96;
    for (const auto& [dpi, pens] : {std::pair{96, std::vector{2, 1}}, {144, {3, 2}}, {192, {4, 2}}}) {
        ui.canvas.Clear(), ui.canvas.SetDpi(dpi), ui.canvas.SetOuterSize(230 * dpi / 96, 300 * dpi / 96);
        DrawLinearity(&page, 8192, 65535);
        const DrawingExtent e = MeasureDrawing(ui.canvas.Operations());
        if (dpi == 96) at96 = e;
        for (const auto& [side, at] : {std::pair{e.right, at96.right}, {e.bottom, at96.bottom}})
            EXPECT_NEAR(side, at * dpi / 96.0, 2) << dpi;
        EXPECT_EQ(e.pens, pens) << dpi;
    }
    EXPECT_EQ(std::tie(at96.left, at96.top, at96.right, at96.bottom), std::tuple(0, 5, 216, 220));
}
