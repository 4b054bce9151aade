#include "platform/Canvas.h"

namespace {

// No windows here: nothing to draw on.
class NoCanvas final : public Canvas {
public:
    CanvasSize OuterSize(NativeHandle) override { return {0, 0}; }
    int Dpi(NativeHandle) override { return CanvasBaseDpi; }
    bool Begin(NativeHandle, const CanvasRect&) override { return false; }
    void End() override {}
    void UsePen(int, CanvasColor) override {}
    void UseBrush(CanvasColor) override {}
    void Polygon(const CanvasPoint*, int) override {}
    void Rectangle(const CanvasRect&) override {}
    void MoveTo(const CanvasPoint&) override {}
    void LineTo(const CanvasPoint&) override {}
    void Fill(const CanvasRect&, CanvasColor) override {}
    void SetTextColors(CanvasColor, CanvasColor) override {}
    void Text(const char*, const CanvasRect&) override {}
};

} // namespace

Canvas& SystemCanvas()
{
    static NoCanvas canvas;
    return canvas;
}
