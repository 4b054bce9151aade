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
    const int w = outer.width - 30;
    const int h = outer.height - 100;
    // A window too small for a grid step has nothing to draw in.
    if (w < GridLines || h < GridLines) return;
    if (!canvas.Begin(window, {0, 0, outer.width, h + 22})) return;

    canvas.UsePen(2, CanvasBlack);
    canvas.Rectangle({0, 5, 10, h + 5});
    canvas.Rectangle({15, 5, w + 15, h + 5});
    canvas.Rectangle({15, h + 10, w + 15, h + 20});

    canvas.UsePen(1, GridColor);
    for (int x = 15 + w / GridLines; x - 15 < w; x += w / GridLines) {
        canvas.MoveTo({x, 5});
        canvas.LineTo({x, h + 5});
    }
    for (int y = 5 + h / GridLines; y - 5 < h; y += h / GridLines) {
        canvas.MoveTo({15, y});
        canvas.LineTo({w + 15, y});
    }

    const float e = static_cast<float>(linearity) / OneInFixed412;
    // A negative value (a garbled read) would raise 0 to a negative power.
    const float curve = std::max(e, 0.0f);
    canvas.MoveTo({15, h + 5});
    for (int i = 0; i < w; i += CurveStep) {
        const float y = Power(static_cast<float>(i) / static_cast<float>(w - 4), curve);
        canvas.LineTo({i + 17, h - Trunc(y * static_cast<float>(h - 4)) + 3});
    }

    canvas.UseBrush(CanvasRed);
    canvas.SetTextColors(CanvasBlack, CanvasWhite);
    const float x = static_cast<float>(live) / AxisSpan;
    const float output = Power(x, 1.0f / std::max(e, SmallestExponent));
    canvas.Rectangle({16, h + 10, 16 + Trunc(output * static_cast<float>(w)), h + 20});
    canvas.Rectangle({1, h + 5, 9, h + 5 - Trunc(static_cast<float>(h) * x)});
    canvas.End();
}
