#pragma once

#include "platform/GameInput.h"

#include <string>
#include <vector>

// A controller system held in memory: the attached controllers with their
// objects and states, and the results the system gives. Every call is noted,
// so a test can see what discovery and polling asked of the system.
class FakeGameInput final : public GameInput {
public:
    struct Device {
        InputDeviceInstance instance{};
        std::string name;
        bool creatable = true;
        std::vector<InputObject> objects;
        std::vector<uint32_t> refusedRanges; // type words whose range setting fails
        InputState state{};
        long pollResult = 0;
        std::vector<long> acquireResults;    // one per call, then 0
        long stateResult = 0;
        // Filled by the program:
        bool prepared = false;
        std::vector<uint32_t> rangedAxes;
        int acquires = 0;
    };

    // Attaches a controller; its product name is kept here.
    Device& Attach(const std::string& name, uint8_t guidFirstByte, uint32_t productWord = 0);

    long startResult = 0;
    long configResult = 0;
    long enumResult = 0;
    std::vector<uint32_t> xinputIds;
    int xinputQueries = 0;

    long Start(NativeHandle instance) override;
    std::vector<uint32_t> XInputIds() override;
    long ReadJoystickConfig() override;
    long EnumDevices(DeviceFound found, void* context) override;
    InputDevice CreateDevice(const InputGuid& instanceGuid) override;
    void Prepare(InputDevice device, NativeHandle window) override;
    long EnumObjects(InputDevice device, ObjectFound found, void* context) override;
    bool SetAxisRange(InputDevice device, uint32_t type, int32_t minimum, int32_t maximum) override;
    long InstanceGuid(InputDevice device, InputGuid& guid) override;
    long Acquire(InputDevice device) override;
    long Poll(InputDevice device) override;
    long ReadState(InputDevice device, InputState& state) override;

    // The device behind a handle the program holds.
    Device* Find(InputDevice device);
    Device& At(std::size_t index) { return devices_[index]; }
    InputDevice Handle(std::size_t index) { return &devices_[index]; }

private:
    std::vector<Device> devices_;
};
