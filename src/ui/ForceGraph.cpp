#include "ui/ForceGraph.h"

#include "platform/Canvas.h"

namespace {

constexpr CanvasColor ZeroLineColor = CanvasRgb(192, 192, 192);
constexpr CanvasColor TorqueColor = CanvasRgb(0, 0, 255);
constexpr CanvasColor CreateEffectColor = CanvasRgb(0, 160, 0);
constexpr int FullScale = 32767;

} // namespace

void DrawForceGraph(NativeHandle window, const ForceTrace& trace, uint64_t now)
{
    Canvas& canvas = ActiveCanvas();
    const CanvasSize size = canvas.OuterSize(window);
    const int w = size.width, h = size.height, middle = h / 2;
    if (w < 2 || h < 2 || !canvas.Begin(window, {0, 0, w, h})) return;
    const int line = CanvasScaled(1, canvas.Dpi(window));
    // Where a moment and a value are drawn: the newest at the right edge.
    const auto x = [&](uint64_t time) {
        const uint64_t age = now > time ? now - time : 0;
        return (w - 1) - static_cast<int>(static_cast<int64_t>(age) * (w - 1) / static_cast<int64_t>(ForceTrace::SpanMs));
    };
    const auto y = [&](int value) { return middle - value * (middle - 1) / FullScale; };

    canvas.Fill({0, 0, w, h}, CanvasWhite);
    canvas.UsePen(line, ZeroLineColor);
    canvas.MoveTo({0, middle});
    canvas.LineTo({w, middle});
    for (const ForceTrace::Kind mark : {ForceTrace::Kind::CreateEffect, ForceTrace::Kind::Error}) {
        canvas.UsePen(line, mark == ForceTrace::Kind::Error ? CanvasRed : CreateEffectColor);
        for (const ForceTrace::Entry& e : trace.Entries()) {
            if (e.kind != mark) continue;
            canvas.MoveTo({x(e.time), 0});
            canvas.LineTo({x(e.time), h});
        }
    }
    canvas.UsePen(line, TorqueColor);
    bool first = true;
    for (const ForceTrace::Entry& e : trace.Entries()) {
        if (e.kind != ForceTrace::Kind::Torque) continue;
        const CanvasPoint point{x(e.time), y(e.value)};
        if (first) canvas.MoveTo(point);
        else canvas.LineTo(point);
        first = false;
    }
    canvas.End();
}
