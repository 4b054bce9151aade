#pragma once

#include "platform/NativeHandle.h"

#include <cstdint>

// A tiny drawing surface over a window's client area: GDI on Windows, a
// recording in memory for the tests. Pens and brushes made during a
// drawing belong to it and go when it ends.

// 0x00BBGGRR, as GDI's COLORREF.
using CanvasColor = uint32_t;
constexpr CanvasColor CanvasRgb(uint8_t r, uint8_t g, uint8_t b)
{
    return CanvasColor{r} | (CanvasColor{g} << 8) | (CanvasColor{b} << 16);
}
constexpr CanvasColor CanvasBlack = CanvasRgb(0, 0, 0);
constexpr CanvasColor CanvasWhite = CanvasRgb(255, 255, 255);
constexpr CanvasColor CanvasRed = CanvasRgb(255, 0, 0);

struct CanvasPoint {
    int x;
    int y;
};

struct CanvasSize {
    int width;
    int height;
};

struct CanvasRect {
    int left;
    int top;
    int right;
    int bottom;
};

// The DPI at which a drawing's figures are given. At another DPI they are
// scaled, line widths and text included, so that a picture keeps its size
// beside the dialog's controls, which scale with their font.
constexpr int CanvasBaseDpi = 96;
// A length at the base DPI as it is at `dpi`, to the nearest pixel; the
// same at the base DPI.
constexpr int CanvasScaled(int length, int dpi)
{
    return (length * dpi + (length >= 0 ? CanvasBaseDpi / 2 : -CanvasBaseDpi / 2)) / CanvasBaseDpi;
}

class Canvas {
public:
    // The window's outer size (its window rectangle); 0 x 0 when there is
    // no such window.
    virtual CanvasSize OuterSize(NativeHandle window) = 0;
    // The DPI the system reports for the window (CanvasBaseDpi at 100 %).
    virtual int Dpi(NativeHandle window) = 0;
    // Invalidates, erases and repaints the area of the window at once, then
    // starts drawing on the window with its default pen and brush (white
    // fill). False when there is nothing to draw on.
    virtual bool Begin(NativeHandle window, const CanvasRect& area) = 0;
    // Puts the window's own pen and brush back and frees what was made.
    virtual void End() = 0;

    // A solid pen or brush of the colour, in use until the next one.
    virtual void UsePen(int width, CanvasColor color) = 0;
    virtual void UseBrush(CanvasColor color) = 0;
    // Outline with the pen, filled with the brush.
    virtual void Polygon(const CanvasPoint* points, int count) = 0;
    virtual void Rectangle(const CanvasRect& rect) = 0;
    // Moves the current point; draws a line with the pen from the current
    // point to the next one, which becomes current.
    virtual void MoveTo(const CanvasPoint& point) = 0;
    virtual void LineTo(const CanvasPoint& point) = 0;
    // Filled with a solid colour, no outline.
    virtual void Fill(const CanvasRect& rect, CanvasColor color) = 0;
    virtual void SetTextColors(CanvasColor text, CanvasColor background) = 0;
    // One line of text from the rectangle's top left, not clipped.
    virtual void Text(const char* text, const CanvasRect& rect) = 0;

protected:
    ~Canvas() = default;
};

// The system's canvas: GDI on Windows; elsewhere one that draws nothing.
Canvas& SystemCanvas();

// The canvas in use: the system's unless another was put in place.
Canvas& ActiveCanvas();

// Puts a canvas in place (nullptr = the system's again) and returns the one
// it replaces.
Canvas* UseCanvas(Canvas* canvas);
