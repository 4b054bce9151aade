#include "ui/LinearityEditor.h"

#include "board/BoardProtocol.h"
#include "board/ParamDisplay.h"
#include "controller/ControllerPoll.h"
#include "platform/Canvas.h"
#include "platform/ModalDialog.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int OkId = 1;
constexpr int CancelId = 2;
constexpr int KeepOpen = -1;
constexpr unsigned RedrawPeriodMs = 33;

constexpr float OneInFixed412 = 4096.0f;
constexpr float AxisSpan = 65535.0f;
constexpr float SmallestExponent = 0.0001f;
constexpr CanvasColor GridColor = CanvasRgb(16, 16, 16);
constexpr int GridLines = 10;
constexpr int CurveStep = 5;

int Trunc(float value) { return static_cast<int>(std::trunc(value)); }

float Power(float base, float exponent)
{
    return static_cast<float>(std::pow(static_cast<double>(base), static_cast<double>(exponent)));
}

class LinearityLogic final : public DialogLogic {
public:
    LinearityLogic(AppContext& app, int axis) : app_(app), axis_(axis) {}
    void Init(NativeHandle dialog) override
    {
        BindFromSet(app_, LinearityX + axis_, dialog);
        Draw(dialog);
    }
    int Command(NativeHandle, int id) override
    {
        // The value sent stays in force either way.
        if (id == OkId) return 1;
        return id == CancelId ? 0 : KeepOpen;
    }
    void Scrolled(NativeHandle, NativeHandle trackbar) override
    {
        if (ParamControl* record = FindParamControl(app_, trackbar)) TrackbarChanged(app_, *record);
    }
    unsigned TimerPeriodMs() const override { return RedrawPeriodMs; }
    void Timer(NativeHandle dialog) override
    {
        PollController(app_);
        Draw(dialog);
    }

private:
    void Draw(NativeHandle dialog) { DrawLinearity(dialog, app_.params[LinearityX + axis_].value, app_.liveAxes[axis_]); }

    AppContext& app_;
    int axis_;
};

} // namespace

void OpenLinearityEditor(AppContext& app, NativeHandle owner, int axis)
{
    WaitLinkIdle(app);
    // Opened from another modal dialog, which keeps command busy set.
    const uint8_t busy = app.commandBusy;
    app.commandBusy = 1;
    LinearityLogic logic(app, axis);
    RunModalDialog(owner, LinearityEditorId, logic);
    BindFromSet(app, LinearityX + axis, nullptr);
    app.commandBusy = busy;
}

void DrawLinearity(NativeHandle window, int32_t linearity, int32_t live)
{
    Canvas& canvas = ActiveCanvas();
    const CanvasSize outer = canvas.OuterSize(window);
    // The margins and lines at the window's DPI; the graph takes the rest of
    // the dialog, which grows with it.
    const int dpi = canvas.Dpi(window);
    const auto s = [dpi](int length) { return CanvasScaled(length, dpi); };
    const int w = outer.width - s(30);
    const int h = outer.height - s(100);
    // A window too small for a grid step has nothing to draw in.
    if (w < GridLines || h < GridLines) return;
    if (!canvas.Begin(window, {0, 0, outer.width, h + s(22)})) return;

    const int top = s(5), left = s(15), bar = s(10);
    canvas.UsePen(s(2), CanvasBlack);
    canvas.Rectangle({0, top, bar, h + top});
    canvas.Rectangle({left, top, w + left, h + top});
    canvas.Rectangle({left, h + s(10), w + left, h + s(20)});

    canvas.UsePen(s(1), GridColor);
    for (int x = left + w / GridLines; x - left < w; x += w / GridLines) {
        canvas.MoveTo({x, top});
        canvas.LineTo({x, h + top});
    }
    for (int y = top + h / GridLines; y - top < h; y += h / GridLines) {
        canvas.MoveTo({left, y});
        canvas.LineTo({w + left, y});
    }

    const float e = static_cast<float>(linearity) / OneInFixed412;
    // A negative value (a garbled read) would raise 0 to a negative power.
    const float curve = std::max(e, 0.0f);
    canvas.MoveTo({left, h + top});
    for (int i = 0; i < w; i += s(CurveStep)) {
        const float y = Power(static_cast<float>(i) / static_cast<float>(w - s(4)), curve);
        canvas.LineTo({i + s(17), h - Trunc(y * static_cast<float>(h - s(4))) + s(3)});
    }

    canvas.UseBrush(CanvasRed);
    canvas.SetTextColors(CanvasBlack, CanvasWhite);
    const float x = static_cast<float>(live) / AxisSpan;
    const float output = Power(x, 1.0f / std::max(e, SmallestExponent));
    canvas.Rectangle({s(16), h + s(10), s(16) + Trunc(output * static_cast<float>(w)), h + s(20)});
    canvas.Rectangle({s(1), h + top, s(9), h + top - Trunc(static_cast<float>(h) * x)});
    canvas.End();
}
