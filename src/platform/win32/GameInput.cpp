#include "platform/GameInput.h"

#define DIRECTINPUT_VERSION 0x0800
#include <windows.h>
#include <dinput.h>
#include <dinputd.h>
#include <oleauto.h>
#include <wbemidl.h>

#include <cstring>
#include <string>

namespace {

IDirectInputDevice8A* Device(InputDevice device) { return static_cast<IDirectInputDevice8A*>(device); }

struct DeviceRelay {
    GameInput::DeviceFound found;
    void* context;
};

struct ObjectRelay {
    GameInput::ObjectFound found;
    void* context;
};

BOOL CALLBACK OnDevice(LPCDIDEVICEINSTANCEA instance, LPVOID reference)
{
    const auto* relay = static_cast<const DeviceRelay*>(reference);
    InputDeviceInstance found{};
    std::memcpy(found.instanceGuid, &instance->guidInstance, sizeof(InputGuid));
    found.productWord = static_cast<uint32_t>(instance->guidProduct.Data1);
    found.productName = instance->tszProductName;
    relay->found(found, relay->context);
    return DIENUM_CONTINUE;
}

InputObjectKind KindOf(const GUID& type)
{
    if (IsEqualGUID(type, GUID_XAxis)) return InputXAxis;
    if (IsEqualGUID(type, GUID_YAxis)) return InputYAxis;
    if (IsEqualGUID(type, GUID_ZAxis)) return InputZAxis;
    if (IsEqualGUID(type, GUID_RxAxis)) return InputRxAxis;
    if (IsEqualGUID(type, GUID_RyAxis)) return InputRyAxis;
    if (IsEqualGUID(type, GUID_RzAxis)) return InputRzAxis;
    if (IsEqualGUID(type, GUID_Slider)) return InputSlider;
    if (IsEqualGUID(type, GUID_POV)) return InputPov;
    return InputOther;
}

BOOL CALLBACK OnObject(LPCDIDEVICEOBJECTINSTANCEA object, LPVOID reference)
{
    const auto* relay = static_cast<const ObjectRelay*>(reference);
    const InputObject found{KindOf(object->guidType), (object->dwType & (DIDFT_RELAXIS | DIDFT_ABSAXIS)) != 0,
                            static_cast<uint32_t>(object->dwType)};
    return relay->found(found, relay->context) ? DIENUM_CONTINUE : DIENUM_STOP;
}

// The device id as 8-bit text; a character beyond 7 bits becomes '?'.
std::string Narrow(const wchar_t* text)
{
    std::string narrow;
    for (; *text; ++text) narrow += *text < 0x80 ? static_cast<char>(*text) : '?';
    return narrow;
}

// The WMI query over the Plug and Play devices: their device ids.
void QueryPnpDeviceIds(std::vector<std::string>& ids)
{
    CoInitialize(nullptr);
    IWbemLocator* locator = nullptr;
    IWbemServices* services = nullptr;
    IEnumWbemClassObject* devices = nullptr;
    BSTR nameSpace = SysAllocString(L"\\\\.\\root\\cimv2");
    BSTR className = SysAllocString(L"Win32_PNPEntity");
    BSTR deviceIdName = SysAllocString(L"DeviceID");
    if (nameSpace && className && deviceIdName &&
        SUCCEEDED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                   reinterpret_cast<void**>(&locator))) &&
        SUCCEEDED(locator->ConnectServer(nameSpace, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services))) {
        CoSetProxyBlanket(services, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                          RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
        if (SUCCEEDED(services->CreateInstanceEnum(className, 0, nullptr, &devices))) {
            for (;;) {
                IWbemClassObject* objects[20] = {};
                ULONG returned = 0;
                if (FAILED(devices->Next(10000, 20, objects, &returned)) || returned == 0) break;
                for (ULONG i = 0; i < returned; ++i) {
                    VARIANT value;
                    VariantInit(&value);
                    if (SUCCEEDED(objects[i]->Get(deviceIdName, 0, &value, nullptr, nullptr)) &&
                        value.vt == VT_BSTR && value.bstrVal) {
                        ids.push_back(Narrow(value.bstrVal));
                    }
                    VariantClear(&value);
                    objects[i]->Release();
                }
            }
        }
    }
    SysFreeString(nameSpace);
    SysFreeString(className);
    SysFreeString(deviceIdName);
    if (devices) devices->Release();
    if (services) services->Release();
    if (locator) locator->Release();
}

class DirectInputSystem final : public GameInput {
public:
    long Start(NativeHandle instance) override
    {
        return DirectInput8Create(static_cast<HINSTANCE>(instance), DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                  reinterpret_cast<void**>(&input_), nullptr);
    }

    std::vector<std::string> PnpDeviceIds() override
    {
        std::vector<std::string> ids;
        QueryPnpDeviceIds(ids);
        return ids;
    }

    long ReadJoystickConfig() override
    {
        if (!input_) return E_POINTER;
        IDirectInputJoyConfig8* config = nullptr;
        const HRESULT result = input_->QueryInterface(IID_IDirectInputJoyConfig8, reinterpret_cast<void**>(&config));
        if (FAILED(result)) return result;
        DIJOYCONFIG joystick{};
        joystick.dwSize = sizeof joystick;
        config->GetConfig(0, &joystick, DIJC_GUIDINSTANCE);
        config->Release();
        return result;
    }

    long EnumDevices(DeviceFound found, void* context) override
    {
        if (!input_) return E_POINTER;
        DeviceRelay relay{found, context};
        return input_->EnumDevices(DI8DEVCLASS_GAMECTRL, OnDevice, &relay, DIEDFL_ATTACHEDONLY | DIEDFL_FORCEFEEDBACK);
    }

    InputDevice CreateDevice(const InputGuid& instanceGuid) override
    {
        if (!input_) return nullptr;
        GUID guid;
        std::memcpy(&guid, instanceGuid, sizeof guid);
        IDirectInputDevice8A* device = nullptr;
        if (FAILED(input_->CreateDevice(guid, &device, nullptr))) return nullptr;
        return device;
    }

    void Prepare(InputDevice device, NativeHandle window) override
    {
        Device(device)->SetDataFormat(&c_dfDIJoystick2);
        Device(device)->SetCooperativeLevel(static_cast<HWND>(window), DISCL_NONEXCLUSIVE | DISCL_BACKGROUND);
    }

    long EnumObjects(InputDevice device, ObjectFound found, void* context) override
    {
        ObjectRelay relay{found, context};
        return Device(device)->EnumObjects(OnObject, &relay, DIDFT_ALL);
    }

    bool SetAxisRange(InputDevice device, uint32_t type, int32_t minimum, int32_t maximum) override
    {
        DIPROPRANGE range{};
        range.diph.dwSize = sizeof range;
        range.diph.dwHeaderSize = sizeof range.diph;
        range.diph.dwHow = DIPH_BYID;
        range.diph.dwObj = type;
        range.lMin = minimum;
        range.lMax = maximum;
        return SUCCEEDED(Device(device)->SetProperty(DIPROP_RANGE, &range.diph));
    }

    long InstanceGuid(InputDevice device, InputGuid& guid) override
    {
        DIDEVICEINSTANCEA info{};
        info.dwSize = sizeof info;
        const HRESULT result = Device(device)->GetDeviceInfo(&info);
        if (SUCCEEDED(result)) std::memcpy(guid, &info.guidInstance, sizeof(InputGuid));
        return result;
    }

    long Acquire(InputDevice device) override { return Device(device)->Acquire(); }

    void Unacquire(InputDevice device) override { Device(device)->Unacquire(); }

    long Poll(InputDevice device) override { return Device(device)->Poll(); }

    long ReadState(InputDevice device, InputState& state) override
    {
        DIJOYSTATE2 raw{};
        const HRESULT result = Device(device)->GetDeviceState(sizeof raw, &raw);
        if (FAILED(result)) return result;
        const LONG axes[6] = {raw.lX, raw.lY, raw.lZ, raw.lRx, raw.lRy, raw.lRz};
        for (int i = 0; i < 6; ++i) state.axes[i] = axes[i];
        for (int i = 0; i < 2; ++i) state.sliders[i] = raw.rglSlider[i];
        for (int i = 0; i < 4; ++i) state.povs[i] = raw.rgdwPOV[i];
        std::memcpy(state.buttons, raw.rgbButtons, sizeof state.buttons);
        return result;
    }

private:
    IDirectInput8A* input_ = nullptr;
};

} // namespace

GameInput& SystemGameInput()
{
    static DirectInputSystem input;
    return input;
}
