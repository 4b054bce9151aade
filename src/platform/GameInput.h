#pragma once

#include "platform/NativeHandle.h"

#include <cstdint>
#include <string>
#include <vector>

// The system's game controllers: DirectInput 8 (and WMI for the XInput
// devices) on Windows. The discovery and polling rules are portable and
// talk to the system only through this interface, so a test can put a
// fake system of its own in place.

// An opened controller (an IDirectInputDevice8A on Windows); never released
// during the run.
using InputDevice = void*;

using InputGuid = uint8_t[16];

// What the system tells of an attached controller before it is opened.
struct InputDeviceInstance {
    InputGuid instanceGuid;
    uint32_t productWord;    // first 32 bits of the product GUID: PID << 16 | VID
    const char* productName; // zero-terminated, any length
};

// The kinds of input object the discovery tells apart, by type GUID.
enum InputObjectKind : uint8_t {
    InputXAxis,
    InputYAxis,
    InputZAxis,
    InputRxAxis,
    InputRyAxis,
    InputRzAxis,
    InputSlider,
    InputPov,
    InputOther,
};

struct InputObject {
    InputObjectKind kind;
    bool axis;     // a relative or absolute axis
    uint32_t type; // the object's type word, its id for property calls
};

// A controller's state as DIJOYSTATE2 gives it.
struct InputState {
    int32_t axes[6];    // X, Y, Z, Rx, Ry, Rz
    int32_t sliders[2];
    uint32_t povs[4];   // 0xffffffff when centred
    uint8_t buttons[128];
};

// Results are HRESULTs: negative means failure.
constexpr long InputLost = static_cast<int32_t>(0x8007001Eu); // DIERR_INPUTLOST

class GameInput {
public:
    // Creates the system's DirectInput 8 object for the program module.
    virtual long Start(NativeHandle instance) = 0;
    // The Plug and Play device ids of the attached devices (the WMI query
    // over Win32_PNPEntity), as 8-bit text; whatever was found before an error.
    virtual std::vector<std::string> PnpDeviceIds() = 0;
    // Reads the joystick configuration of joystick 0 and drops it; the
    // failure of the configuration interface itself is returned.
    virtual long ReadJoystickConfig() = 0;
    // Calls found for every attached force-feedback game controller.
    using DeviceFound = void (*)(const InputDeviceInstance& instance, void* context);
    virtual long EnumDevices(DeviceFound found, void* context) = 0;
    // Opens the controller; null when it cannot be created.
    virtual InputDevice CreateDevice(const InputGuid& instanceGuid) = 0;
    // Joystick data format and non-exclusive background access for the window.
    virtual void Prepare(InputDevice device, NativeHandle window) = 0;
    // Calls found for every object of the device until it returns false.
    using ObjectFound = bool (*)(const InputObject& object, void* context);
    virtual long EnumObjects(InputDevice device, ObjectFound found, void* context) = 0;
    // Sets the range of the axis with this type word; false when refused.
    virtual bool SetAxisRange(InputDevice device, uint32_t type, int32_t minimum, int32_t maximum) = 0;
    virtual long InstanceGuid(InputDevice device, InputGuid& guid) = 0;
    virtual long Acquire(InputDevice device) = 0;
    // Lets the device go; its properties can be set again.
    virtual void Unacquire(InputDevice device) = 0;
    virtual long Poll(InputDevice device) = 0;
    virtual long ReadState(InputDevice device, InputState& state) = 0;

protected:
    ~GameInput() = default;
};

// The system's controllers: DirectInput on Windows; none elsewhere.
GameInput& SystemGameInput();

// The controllers in use: the system's unless others were put in place.
GameInput& ActiveGameInput();

// Puts a controller system in place (nullptr = the system's again) and
// returns the one it replaces.
GameInput* UseGameInput(GameInput* input);
