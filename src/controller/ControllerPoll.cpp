#include "controller/ControllerPoll.h"

#include "core/AppContext.h"
#include "platform/Controls.h"

#include <cstdio>

namespace {

// A lost device is asked again this often within one tick; the next tick
// tries anew, so a device that stays lost cannot hold the window thread.
constexpr int AcquireAttempts = 8;

constexpr int AxisValueIds[6] = {1010, 1011, 1012, 1022, 1023, 1024};
constexpr int SliderValueIds[2] = {1032, 1033};
constexpr int PovValueIds[4] = {1050, 1054, 1056, 1058};
constexpr int MaskedButtons = 32;
constexpr uint8_t ButtonDown = 0x80;

void ShowInputs(NativeHandle page, const InputState& state)
{
    Controls& controls = ActiveControls();
    char text[16];
    for (int i = 0; i < 6; ++i) {
        std::snprintf(text, sizeof text, "%ld", static_cast<long>(state.axes[i]));
        controls.SetText(page, AxisValueIds[i], text);
    }
    for (int i = 0; i < 2; ++i) {
        std::snprintf(text, sizeof text, "%ld", static_cast<long>(state.sliders[i]));
        controls.SetText(page, SliderValueIds[i], text);
    }
    for (int i = 0; i < 4; ++i) {
        std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(state.povs[i]));
        controls.SetText(page, PovValueIds[i], text);
    }
}

} // namespace

int PollController(AppContext& app)
{
    InputDevice device = app.currentController;
    if (!device) return 0;
    GameInput& input = ActiveGameInput();
    if (input.Poll(device) < 0) {
        for (int i = 0; i < AcquireAttempts && input.Acquire(device) == InputLost; ++i) {
        }
        return 0;
    }
    InputState state{};
    if (input.ReadState(device, state) < 0) return 0;
    if (app.drivePage) ShowInputs(app.drivePage, state);
    uint32_t buttons = 0;
    for (int n = 0; n < MaskedButtons; ++n) {
        if (state.buttons[n] & ButtonDown) buttons |= 1u << n;
    }
    for (int i = 0; i < 6; ++i) app.liveAxes[i] = state.axes[i];
    if (app.inputRead) app.inputRead(app, buttons);
    return 0;
}
