#include "platform/FakeGameInput.h"

#include <algorithm>
#include <cstring>

FakeGameInput::Device& FakeGameInput::Attach(const std::string& name, uint8_t guidFirstByte, uint32_t productWord)
{
    // Handles are addresses of the records: room is made once, up front.
    devices_.reserve(32);
    Device& device = devices_.emplace_back();
    device.name = name;
    device.instance.instanceGuid[0] = guidFirstByte;
    device.instance.productWord = productWord;
    return device;
}

long FakeGameInput::Start(NativeHandle) { return startResult; }

std::vector<uint32_t> FakeGameInput::XInputIds()
{
    ++xinputQueries;
    return xinputIds;
}

long FakeGameInput::ReadJoystickConfig() { return configResult; }

long FakeGameInput::EnumDevices(DeviceFound found, void* context)
{
    if (enumResult < 0) return enumResult;
    for (Device& device : devices_) {
        device.instance.productName = device.name.c_str();
        found(device.instance, context);
    }
    return enumResult;
}

InputDevice FakeGameInput::CreateDevice(const InputGuid& instanceGuid)
{
    for (Device& device : devices_) {
        if (std::memcmp(device.instance.instanceGuid, instanceGuid, sizeof(InputGuid)) == 0) {
            return device.creatable ? &device : nullptr;
        }
    }
    return nullptr;
}

void FakeGameInput::Prepare(InputDevice device, NativeHandle)
{
    if (Device* d = Find(device)) d->prepared = true;
}

long FakeGameInput::EnumObjects(InputDevice device, ObjectFound found, void* context)
{
    Device* d = Find(device);
    if (!d) return -1;
    for (const InputObject& object : d->objects) {
        if (!found(object, context)) break;
    }
    return 0;
}

bool FakeGameInput::SetAxisRange(InputDevice device, uint32_t type, int32_t minimum, int32_t maximum)
{
    Device* d = Find(device);
    if (!d || minimum != 0 || maximum != 65535) return false;
    if (std::find(d->refusedRanges.begin(), d->refusedRanges.end(), type) != d->refusedRanges.end()) return false;
    d->rangedAxes.push_back(type);
    return true;
}

long FakeGameInput::InstanceGuid(InputDevice device, InputGuid& guid)
{
    Device* d = Find(device);
    if (!d) return -1;
    std::memcpy(guid, d->instance.instanceGuid, sizeof(InputGuid));
    return 0;
}

long FakeGameInput::Acquire(InputDevice device)
{
    Device* d = Find(device);
    if (!d) return -1;
    const auto call = static_cast<std::size_t>(d->acquires++);
    return call < d->acquireResults.size() ? d->acquireResults[call] : 0;
}

long FakeGameInput::Poll(InputDevice device)
{
    Device* d = Find(device);
    return d ? d->pollResult : -1;
}

long FakeGameInput::ReadState(InputDevice device, InputState& state)
{
    Device* d = Find(device);
    if (!d) return -1;
    if (d->stateResult >= 0) state = d->state;
    return d->stateResult;
}

FakeGameInput::Device* FakeGameInput::Find(InputDevice device)
{
    for (Device& d : devices_) {
        if (&d == device) return &d;
    }
    return nullptr;
}
