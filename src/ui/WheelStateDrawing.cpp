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

// The drawing's figures at the window's DPI.
struct Scale {
    int dpi;
    int operator()(int length) const { return CanvasScaled(length, dpi); }
    CanvasPoint operator()(CanvasPoint p) const { return {(*this)(p.x), (*this)(p.y)}; }
    CanvasRect operator()(CanvasRect r) const { return {(*this)(r.left), (*this)(r.top), (*this)(r.right), (*this)(r.bottom)}; }
};

void DrawArrow(Canvas& canvas, const Scale& s, int32_t x, int32_t maxAngle)
{
    const auto degrees = static_cast<int32_t>((int64_t{x} - AxisCentre) * maxAngle / AxisSpan);
    const double angle = (degrees + 90) * std::numbers::pi / 180.0;
    const double c = std::cos(angle);
    const double sine = std::sin(angle);
    CanvasPoint corners[3];
    for (int i = 0; i < 3; ++i) {
        const int dx = s(ArrowShape[i].x - ArrowPivot.x);
        const int dy = s(ArrowShape[i].y - ArrowPivot.y);
        corners[i].x = Trunc(dx * c - dy * sine) + s(ArrowPlace.x);
        corners[i].y = Trunc(dx * sine + dy * c) + s(ArrowPlace.y);
    }
    canvas.Polygon(corners, 3);
}

// The top left of button n's box.
CanvasPoint ButtonCorner(int n)
{
    return {ButtonLeft + ButtonPitchX * (n % ButtonsPerRow), ButtonTop + ButtonPitchY * (n / ButtonsPerRow)};
}

void DrawButtonFrames(Canvas& canvas, const Scale& s)
{
    for (int n = 0; n < Buttons; ++n) {
        const CanvasPoint p = ButtonCorner(n);
        canvas.Rectangle(s(CanvasRect{p.x, p.y, p.x + ButtonWidth, p.y + ButtonHeight}));
    }
}

void DrawButtonStates(Canvas& canvas, const Scale& s, uint32_t buttons)
{
    for (int n = 0; n < Buttons; ++n) {
        const CanvasPoint p = ButtonCorner(n);
        const int x = p.x, top = p.y + 1;
        const bool pressed = (buttons & (1u << n)) != 0;
        if (pressed) canvas.Fill(s(CanvasRect{x + 1, top, x + 19, top + 16}), CanvasRed);
        canvas.SetTextColors(CanvasBlack, pressed ? CanvasRed : CanvasWhite);
        char label[4];
        std::snprintf(label, sizeof label, "%d", n + 1);
        const int length = static_cast<int>(std::strlen(label));
        canvas.Text(label, s(CanvasRect{x + ((ButtonWidth - DigitWidth * length) >> 1), top, x + 18, top + 15}));
    }
}

} // namespace

void DrawWheelState(NativeHandle page, const int32_t (&axes)[6], uint32_t buttons, int32_t maxAngle)
{
    Canvas& canvas = ActiveCanvas();
    const Scale s{canvas.Dpi(page)};
    if (!canvas.Begin(page, s(ArrowArea))) return;
    canvas.UsePen(s(2), CanvasRed);
    DrawArrow(canvas, s, axes[0], maxAngle);
    canvas.UsePen(s(1), CanvasBlack);
    for (int left : BarLeft) canvas.Rectangle(s(CanvasRect{left, BarTop, left + 10, BarBottom}));
    DrawButtonFrames(canvas, s);
    canvas.UseBrush(CanvasRed);
    DrawButtonStates(canvas, s, buttons);
    for (int i = 0; i < 3; ++i) {
        // The bar's height in pixels of the window's DPI.
        const auto h = static_cast<int>(int64_t{axes[1 + i]} * s(BarHeight) / AxisSpan);
        canvas.Rectangle({s(BarLeft[i] + 1), s(BarBottom) - h, s(BarLeft[i] + 9), s(BarBottom - 1)});
    }
    canvas.End();
}
