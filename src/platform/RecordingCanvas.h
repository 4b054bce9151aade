#pragma once

#include "platform/Canvas.h"

#include <string>
#include <vector>

// A canvas that draws nothing and notes every operation as one line of
// text, with colours as six hexadecimal digits RRGGBB:
//   begin L T R B / end / pen W RRGGBB / brush RRGGBB /
//   polygon X,Y X,Y ... / rect L T R B / fill L T R B RRGGBB /
//   colors RRGGBB RRGGBB / text "T" L T R B
class RecordingCanvas final : public Canvas {
public:
    bool Begin(NativeHandle window, const CanvasRect& area) override;
    void End() override;
    void UsePen(int width, CanvasColor color) override;
    void UseBrush(CanvasColor color) override;
    void Polygon(const CanvasPoint* points, int count) override;
    void Rectangle(const CanvasRect& rect) override;
    void Fill(const CanvasRect& rect, CanvasColor color) override;
    void SetTextColors(CanvasColor text, CanvasColor background) override;
    void Text(const char* text, const CanvasRect& rect) override;

    const std::vector<std::string>& Operations() const { return operations_; }
    NativeHandle Window() const { return window_; }
    void Clear() { operations_.clear(); }

private:
    std::vector<std::string> operations_;
    NativeHandle window_ = nullptr;
};
