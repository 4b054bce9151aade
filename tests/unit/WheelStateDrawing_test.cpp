#include "ui/WheelStateDrawing.h"
#include "../support/Doubles.h"
#include <gtest/gtest.h>

TEST(WheelStateDrawing, ArrowBarsAndButtonsOfTheWheelState)
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
    Doubles ui;
    int page = 0;
    const auto fills = [](const std::vector<std::string>& ops) {
        return std::count_if(ops.begin(), ops.end(), [](const std::string& op) { return op.rfind("fill", 0) == 0; });
    };
    for (const auto& c : cases) {
        ui.canvas.Clear();
        DrawWheelState(&page, c.axes, c.buttons, c.angle);
        const std::vector<std::string>& ops = ui.canvas.Operations();
        auto at = ops.begin();
        for (const std::string& op : c.ops) ASSERT_NE(at = std::find(at, ops.end(), op), ops.end()) << c.name << ": " << op;
        EXPECT_EQ(fills(ops), fills(c.ops)) << c.name << ": every fill is listed";
    }
    ui.canvas.Clear();
    DrawWheelState(nullptr, {}, 0, 900);
    EXPECT_TRUE(ui.canvas.Operations().empty()) << "nothing is drawn without a page";
}
