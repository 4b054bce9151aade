#include "ui/WheelStateDrawing.h"

#include "platform/Canvas.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>

namespace {

constexpr int32_t AxisCentre = 32767;
constexpr int64_t AxisSpan = 65535;

// The arrow: a triangle turned about its point (10, 15), which is drawn at (30, 155).
constexpr CanvasPoint ArrowShape[3] = {{0, 0}, {0, 30}, {30, 15}};
constexpr CanvasPoint ArrowPivot = {10, 15};
constexpr CanvasPoint ArrowPlace = {30, 155};
constexpr CanvasRect ArrowArea = {0, 120, 70, 180};

// Axis bars: Y, Z and Rx.
constexpr int BarLeft[3] = {60, 80, 100};
constexpr int BarTop = 140;
constexpr int BarBottom = 180;
constexpr int BarHeight = 38;

// Buttons: four rows of eight boxes of 20 x 18.
constexpr int Buttons = 32;
constexpr int ButtonsPerRow = 8;
constexpr int ButtonLeft = 120;
constexpr int ButtonTop = 140;
constexpr int ButtonPitchX = 25;
constexpr int ButtonPitchY = 23;
constexpr int ButtonWidth = 20;
constexpr int ButtonHeight = 18;
constexpr int DigitWidth = 8;

int Trunc(double value) { return static_cast<int>(std::trunc(value)); }

void DrawArrow(Canvas& canvas, int32_t x, int32_t maxAngle)
{
    const auto degrees = static_cast<int32_t>((int64_t{x} - AxisCentre) * maxAngle / AxisSpan);
    const double angle = (degrees + 90) * std::numbers::pi / 180.0;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    CanvasPoint corners[3];
    for (int i = 0; i < 3; ++i) {
        const int dx = ArrowShape[i].x - ArrowPivot.x;
        const int dy = ArrowShape[i].y - ArrowPivot.y;
        corners[i].x = Trunc(dx * c - dy * s) + ArrowPlace.x;
        corners[i].y = Trunc(dx * s + dy * c) + ArrowPlace.y;
    }
    canvas.Polygon(corners, 3);
}

void DrawButtonFrames(Canvas& canvas)
{
    for (int n = 0; n < Buttons; ++n) {
        const int x = ButtonLeft + ButtonPitchX * (n % ButtonsPerRow);
        const int y = ButtonTop + ButtonPitchY * (n / ButtonsPerRow);
        canvas.Rectangle({x, y, x + ButtonWidth, y + ButtonHeight});
    }
}

void DrawButtonStates(Canvas& canvas, uint32_t buttons)
{
    for (int n = 0; n < Buttons; ++n) {
        const int x = ButtonLeft + ButtonPitchX * (n % ButtonsPerRow);
        const int top = ButtonTop + 1 + ButtonPitchY * (n / ButtonsPerRow);
        const bool pressed = (buttons & (1u << n)) != 0;
        if (pressed) canvas.Fill({x + 1, top, x + 19, top + 16}, CanvasRed);
        canvas.SetTextColors(CanvasBlack, pressed ? CanvasRed : CanvasWhite);
        char label[4];
        std::snprintf(label, sizeof label, "%d", n + 1);
        const int length = static_cast<int>(std::strlen(label));
        canvas.Text(label, {x + ((ButtonWidth - DigitWidth * length) >> 1), top, x + 18, top + 15});
    }
}

} // namespace

void DrawWheelState(NativeHandle page, const int32_t (&axes)[6], uint32_t buttons, int32_t maxAngle)
{
    Canvas& canvas = ActiveCanvas();
    if (!canvas.Begin(page, ArrowArea)) return;
    canvas.UsePen(2, CanvasRed);
    DrawArrow(canvas, axes[0], maxAngle);
    canvas.UsePen(1, CanvasBlack);
    for (int left : BarLeft) canvas.Rectangle({left, BarTop, left + 10, BarBottom});
    DrawButtonFrames(canvas);
    canvas.UseBrush(CanvasRed);
    DrawButtonStates(canvas, buttons);
    for (int i = 0; i < 3; ++i) {
        const auto h = static_cast<int>(int64_t{axes[1 + i]} * BarHeight / AxisSpan);
        canvas.Rectangle({BarLeft[i] + 1, BarBottom - h, BarLeft[i] + 9, BarBottom - 1});
    }
    canvas.End();
}
