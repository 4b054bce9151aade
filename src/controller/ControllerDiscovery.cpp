#include "controller/ControllerDiscovery.h"

#include "controller/XInputIds.h"
#include "core/StartSwitches.h"
#include "platform/Controls.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr int32_t AxisMinimum = 0;
constexpr int32_t AxisMaximum = 65535;
constexpr uint32_t SliderBits = 2;
constexpr uint32_t PovBits = 4;
constexpr uint32_t FirstSliderBit = 6;
constexpr uint32_t FirstPovBit = 8;

// The drive page's value and label of each object mask bit.
struct InputControlPair {
    int value;
    int label;
};
constexpr InputControlPair InputControls[] = {
    {1010, 1083}, {1011, 1084}, {1012, 1085}, {1022, 1086}, {1023, 1087}, {1024, 1088},
    {1032, 1021}, {1033, 1025}, {1050, 1026}, {1054, 1027}, {1056, 1028}, {1058, 1029},
};

struct Discovery {
    AppContext& app;
    NativeHandle window;
    const std::vector<uint32_t>& xinputIds;
};

struct ObjectScan {
    AppContext& app;
    InputDevice device;
};

void OnDevice(const InputDeviceInstance& instance, void* context)
{
    Discovery& d = *static_cast<Discovery*>(context);
    if (std::find(d.xinputIds.begin(), d.xinputIds.end(), instance.productWord) != d.xinputIds.end()) return;
    GameInput& input = ActiveGameInput();
    InputDevice device = input.CreateDevice(instance.instanceGuid);
    if (!device) return;
    AppContext& app = d.app;
    if (app.controllerCount < MaxControllers) {
        ControllerEntry& entry = app.controllers[app.controllerCount++];
        entry.device = device;
        std::memcpy(entry.instanceGuid, instance.instanceGuid, sizeof(InputGuid));
        const char* name = instance.productName ? instance.productName : "";
        const std::size_t length = std::min(std::strlen(name), sizeof entry.productName - 1);
        std::memcpy(entry.productName, name, length);
        entry.productName[length] = '\0';
        if (std::memcmp(instance.instanceGuid, app.usedController, sizeof(InputGuid)) == 0) {
            app.currentController = device;
        }
    }
    input.Prepare(device, d.window);
}

bool OnObject(const InputObject& object, void* context)
{
    ObjectScan& scan = *static_cast<ObjectScan*>(context);
    if (object.axis && !ActiveGameInput().SetAxisRange(scan.device, object.type, AxisMinimum, AxisMaximum)) {
        return false;
    }
    uint32_t* mask = scan.app.controllerObjectMask;
    switch (object.kind) {
    case InputXAxis:
    case InputYAxis:
    case InputZAxis:
    case InputRxAxis:
    case InputRyAxis:
    case InputRzAxis:
        mask[ObjectMaskBits] |= 1u << object.kind;
        break;
    case InputSlider:
        if (mask[SlidersSeen] < SliderBits) mask[ObjectMaskBits] |= 1u << (FirstSliderBit + mask[SlidersSeen]);
        ++mask[SlidersSeen];
        break;
    case InputPov:
        if (mask[PovsSeen] < PovBits) mask[ObjectMaskBits] |= 1u << (FirstPovBit + mask[PovsSeen]);
        ++mask[PovsSeen];
        break;
    case InputOther:
        break;
    }
    return true;
}

} // namespace

long InitControllers(AppContext& app, NativeHandle mainWindow)
{
    GameInput& input = ActiveGameInput();
    long result = input.Start(app.instance);
    if (result < 0) return result;
    std::vector<uint32_t> xinputIds;
    if (g_switches.noxinput) xinputIds = XInputIdsOf(input.PnpDeviceIds());
    result = input.ReadJoystickConfig();
    if (result < 0) return result;
    Discovery discovery{app, mainWindow, xinputIds};
    result = input.EnumDevices(OnDevice, &discovery);
    if (result < 0) return result;
    return SelectController(app, app.currentController);
}

long SelectController(AppContext& app, InputDevice device)
{
    if (!device) return 0;
    std::fill(std::begin(app.controllerObjectMask), std::end(app.controllerObjectMask), 0u);
    app.currentController = device;
    GameInput& input = ActiveGameInput();
    // The system sets no range on an acquired device: one chosen again
    // after it was read is let go first, and the next poll acquires it.
    input.Unacquire(device);
    ObjectScan scan{app, device};
    const long result = input.EnumObjects(device, OnObject, &scan);
    if (result < 0) return result;
    InputGuid guid;
    if (input.InstanceGuid(device, guid) >= 0) std::memcpy(app.usedController, guid, sizeof guid);
    EnableInputControls(app, app.drivePage);
    return 0;
}

void EnableInputControls(const AppContext& app, NativeHandle drivePage)
{
    if (!drivePage) return;
    Controls& controls = ActiveControls();
    for (uint32_t bit = 0; bit < std::size(InputControls); ++bit) {
        const bool present = (app.controllerObjectMask[ObjectMaskBits] & (1u << bit)) != 0;
        for (int id : {InputControls[bit].value, InputControls[bit].label}) {
            if (controls.IsEnabled(drivePage, id) != present) controls.Enable(drivePage, id, present);
        }
    }
}

void AcquireController(AppContext& app)
{
    if (app.currentController) ActiveGameInput().Acquire(app.currentController);
}
