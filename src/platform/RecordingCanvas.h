#pragma once

#include "platform/Canvas.h"

#include <cstdio>
#include <string>
#include <vector>

// A canvas that draws nothing and notes every operation as one line of
// text, with colours as six hexadecimal digits RRGGBB:
//   begin L T R B / end / pen W RRGGBB / brush RRGGBB /
//   polygon X,Y X,Y ... / rect L T R B / move X,Y / line X,Y /
//   fill L T R B RRGGBB / colors RRGGBB RRGGBB / text "T" L T R B
// Every window has the outer size and the DPI set last (0 x 0 and 96 at first).
class RecordingCanvas final : public Canvas {
public:
    CanvasSize OuterSize(NativeHandle) override { return size_; }
    void SetOuterSize(int width, int height) { size_ = {width, height}; }
    int Dpi(NativeHandle) override { return dpi_; }
    void SetDpi(int dpi) { dpi_ = dpi; }
    bool Begin(NativeHandle window, const CanvasRect& area) override
    {
        if (!window) return false;
        Note("begin %d %d %d %d", area.left, area.top, area.right, area.bottom);
        return true;
    }
    void End() override { operations_.push_back("end"); }
    void UsePen(int width, CanvasColor color) override { Note("pen %d %06x", width, Rgb(color)); }
    void UseBrush(CanvasColor color) override { Note("brush %06x", Rgb(color)); }
    void Polygon(const CanvasPoint* points, int count) override
    {
        std::string line = "polygon";
        char point[32];
        for (int i = 0; i < count; ++i) {
            std::snprintf(point, sizeof point, " %d,%d", points[i].x, points[i].y);
            line += point;
        }
        operations_.push_back(line);
    }
    void Rectangle(const CanvasRect& r) override { Note("rect %d %d %d %d", r.left, r.top, r.right, r.bottom); }
    void MoveTo(const CanvasPoint& p) override { Note("move %d,%d", p.x, p.y); }
    void LineTo(const CanvasPoint& p) override { Note("line %d,%d", p.x, p.y); }
    void Fill(const CanvasRect& r, CanvasColor color) override
    {
        Note("fill %d %d %d %d %06x", r.left, r.top, r.right, r.bottom, Rgb(color));
    }
    void SetTextColors(CanvasColor text, CanvasColor background) override { Note("colors %06x %06x", Rgb(text), Rgb(background)); }
    void Text(const char* text, const CanvasRect& r) override
    {
        Note("text \"%s\" %d %d %d %d", text, r.left, r.top, r.right, r.bottom);
    }

    const std::vector<std::string>& Operations() const { return operations_; }
    void Clear() { operations_.clear(); }

private:
    // 0x00BBGGRR as 0xRRGGBB.
    static unsigned Rgb(CanvasColor c) { return (c & 0xff) << 16 | (c & 0xff00) | (c >> 16 & 0xff); }
    template <typename... Values> void Note(const char* format, Values... values)
    {
        char line[256];
        std::snprintf(line, sizeof line, format, values...);
        operations_.emplace_back(line);
    }

    std::vector<std::string> operations_;
    CanvasSize size_{0, 0};
    int dpi_ = CanvasBaseDpi;
};
