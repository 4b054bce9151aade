#include "platform/GameInput.h"

namespace {

// No controller system here: starting succeeds and nothing is attached.
class NoGameInput final : public GameInput {
public:
    long Start(NativeHandle) override { return 0; }
    std::vector<std::string> PnpDeviceIds() override { return {}; }
    long ReadJoystickConfig() override { return 0; }
    long EnumDevices(DeviceFound, void*) override { return 0; }
    InputDevice CreateDevice(const InputGuid&) override { return nullptr; }
    void Prepare(InputDevice, NativeHandle) override {}
    long EnumObjects(InputDevice, ObjectFound, void*) override { return 0; }
    bool SetAxisRange(InputDevice, uint32_t, int32_t, int32_t) override { return false; }
    long InstanceGuid(InputDevice, InputGuid&) override { return -1; }
    long Acquire(InputDevice) override { return -1; }
    void Unacquire(InputDevice) override {}
    long Poll(InputDevice) override { return -1; }
    long ReadState(InputDevice, InputState&) override { return -1; }
};

} // namespace

GameInput& SystemGameInput()
{
    static NoGameInput input;
    return input;
}
