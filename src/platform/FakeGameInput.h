#pragma once

#include "platform/GameInput.h"

#include <algorithm>
#include <cstring>
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
        bool acquired = false; // as DirectInput, no range is set while acquired
    };

    // Attaches a controller; its product name is kept here. Handles are the
    // records' addresses: room is made once, up front.
    Device& Attach(const std::string& name, uint8_t guidFirstByte, uint32_t productWord = 0)
    {
        devices_.reserve(32);
        Device& device = devices_.emplace_back();
        device.name = name;
        device.instance.instanceGuid[0] = guidFirstByte;
        device.instance.productWord = productWord;
        return device;
    }

    long startResult = 0, configResult = 0, enumResult = 0;
    std::vector<std::string> pnpDeviceIds;
    int pnpQueries = 0;

    long Start(NativeHandle) override { return startResult; }
    std::vector<std::string> PnpDeviceIds() override { return ++pnpQueries, pnpDeviceIds; }
    long ReadJoystickConfig() override { return configResult; }
    long EnumDevices(DeviceFound found, void* context) override
    {
        if (enumResult < 0) return enumResult;
        for (Device& device : devices_) {
            device.instance.productName = device.name.c_str();
            found(device.instance, context);
        }
        return enumResult;
    }
    InputDevice CreateDevice(const InputGuid& guid) override
    {
        for (Device& d : devices_)
            if (std::memcmp(d.instance.instanceGuid, guid, sizeof(InputGuid)) == 0) return d.creatable ? &d : nullptr;
        return nullptr;
    }
    // The program hands back only handles of devices it created here.
    void Prepare(InputDevice device, NativeHandle) override { Of(device).prepared = true; }
    long EnumObjects(InputDevice device, ObjectFound found, void* context) override
    {
        for (const InputObject& object : Of(device).objects)
            if (!found(object, context)) break;
        return 0;
    }
    bool SetAxisRange(InputDevice device, uint32_t type, int32_t minimum, int32_t maximum) override
    {
        std::vector<uint32_t>& refused = Of(device).refusedRanges;
        if (minimum != 0 || maximum != 65535 || Of(device).acquired ||
            std::find(refused.begin(), refused.end(), type) != refused.end())
            return false;
        Of(device).rangedAxes.push_back(type);
        return true;
    }
    long InstanceGuid(InputDevice device, InputGuid& guid) override
    {
        std::memcpy(guid, Of(device).instance.instanceGuid, sizeof(InputGuid));
        return 0;
    }
    long Acquire(InputDevice device) override
    {
        const auto call = static_cast<std::size_t>(Of(device).acquires++);
        const long result = call < Of(device).acquireResults.size() ? Of(device).acquireResults[call] : 0;
        Of(device).acquired = result >= 0;
        return result;
    }
    void Unacquire(InputDevice device) override { Of(device).acquired = false; }
    long Poll(InputDevice device) override { return Of(device).pollResult; }
    long ReadState(InputDevice device, InputState& state) override
    {
        if (Of(device).stateResult >= 0) state = Of(device).state;
        return Of(device).stateResult;
    }

    // The device behind a handle the program holds, null for a stranger.
    Device* Find(InputDevice device)
    {
        for (Device& d : devices_)
            if (&d == device) return &d;
        return nullptr;
    }
    Device& At(std::size_t index) { return devices_[index]; }
    Device& Of(InputDevice device) { return *static_cast<Device*>(device); }
    InputDevice Handle(std::size_t index) { return &devices_[index]; }

private:
    std::vector<Device> devices_;
};
