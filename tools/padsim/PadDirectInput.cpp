// dinput8.dll of padsim: DirectInput8Create and the IDirectInput8A and
// IDirectInputJoyConfig8 objects over the devices of padsim.ini.
#include "PadConfig.h"
#include "PadCounted.h"
#include "PadInputDevice.h"
#include "PadLog.h"
#include "PadObjects.h"

#include <dinputd.h>

namespace {

class PadJoyConfig final : public PadCounted<IDirectInputJoyConfig8> {
public:
    PadJoyConfig() : PadCounted("JoyConfig") {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        return QueryOwn(iid, IID_IDirectInputJoyConfig8, object);
    }

    HRESULT STDMETHODCALLTYPE GetConfig(UINT joystick, LPDIJOYCONFIG config, DWORD flags) override
    {
        const std::vector<PadDevice>& devices = CurrentConfig().devices;
        HRESULT result = DI_OK;
        if (!config || (config->dwSize != sizeof(DIJOYCONFIG) && config->dwSize != sizeof(DIJOYCONFIG_DX5)))
            result = DIERR_INVALIDPARAM;
        else if (joystick >= devices.size())
            result = DIERR_NOMOREITEMS;
        else if (flags & DIJC_GUIDINSTANCE)
            config->guidInstance = devices[joystick].instance;
        PadLog("JoyConfig GetConfig joystick=%u size=%lu flags=0x%lx -> %s", joystick, config ? config->dwSize : 0, flags,
               ResultText(result));
        return result;
    }

    PADSIM_NOT_IMPLEMENTED(Acquire)
    PADSIM_NOT_IMPLEMENTED(Unacquire)
    PADSIM_NOT_IMPLEMENTED(SetCooperativeLevel, HWND, DWORD)
    PADSIM_NOT_IMPLEMENTED(SendNotify)
    PADSIM_NOT_IMPLEMENTED(EnumTypes, LPVOID, LPVOID)
    PADSIM_NOT_IMPLEMENTED(GetTypeInfo, LPCWSTR, LPDIJOYTYPEINFO, DWORD)
    PADSIM_NOT_IMPLEMENTED(SetTypeInfo, LPCWSTR, LPCDIJOYTYPEINFO, DWORD, LPWSTR)
    PADSIM_NOT_IMPLEMENTED(DeleteType, LPCWSTR)
    PADSIM_NOT_IMPLEMENTED(SetConfig, UINT, LPCDIJOYCONFIG, DWORD)
    PADSIM_NOT_IMPLEMENTED(DeleteConfig, UINT)
    PADSIM_NOT_IMPLEMENTED(GetUserValues, LPDIJOYUSERVALUES, DWORD)
    PADSIM_NOT_IMPLEMENTED(SetUserValues, LPCDIJOYUSERVALUES, DWORD)
    PADSIM_NOT_IMPLEMENTED(AddNewHardware, HWND, REFGUID)
    PADSIM_NOT_IMPLEMENTED(OpenTypeKey, LPCWSTR, DWORD, HKEY*)
    PADSIM_NOT_IMPLEMENTED(OpenAppStatusKey, HKEY*)
};

const PadDevice* Find(const GUID& instance)
{
    for (const PadDevice& device : CurrentConfig().devices)
        if (IsEqualGUID(device.instance, instance)) return &device;
    return nullptr;
}

class PadDirectInput final : public PadCounted<IDirectInput8A> {
public:
    PadDirectInput() : PadCounted("DirectInput") {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        HRESULT result = E_NOINTERFACE;
        void* found = nullptr;
        if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirectInput8A)) {
            AddRef();
            found = this, result = S_OK;
        } else if (IsEqualGUID(iid, IID_IDirectInputJoyConfig8)) {
            result = CurrentConfig().joyConfigFails;
            if (result == S_OK) found = static_cast<IDirectInputJoyConfig8*>(new PadJoyConfig);
        }
        if (object) *object = found;
        PadLog("DirectInput QueryInterface %s -> %s", IsEqualGUID(iid, IID_IDirectInputJoyConfig8) ? "IDirectInputJoyConfig8"
                                                                                                     : GuidText(iid).c_str(),
               ResultText(result));
        return result;
    }

    HRESULT STDMETHODCALLTYPE CreateDevice(REFGUID instance, LPDIRECTINPUTDEVICE8A* device, LPUNKNOWN outer) override
    {
        const PadDevice* found = Find(instance);
        HRESULT result = !device || outer ? DIERR_INVALIDPARAM : !found ? DIERR_DEVICENOTREG : DI_OK;
        if (device) *device = result == DI_OK ? NewInputDevice(found->section) : nullptr;
        PadLog("DirectInput CreateDevice %s -> %s %s", GuidText(instance).c_str(), ResultText(result),
               result == DI_OK ? found->section.c_str() : "");
        return result;
    }

    HRESULT STDMETHODCALLTYPE EnumDevices(DWORD kind, LPDIENUMDEVICESCALLBACKA callback, LPVOID reference, DWORD flags) override
    {
        PadLog("DirectInput EnumDevices class=%lu flags=0x%lx", kind, flags);
        if (!callback) return DIERR_INVALIDPARAM;
        if (kind != DI8DEVCLASS_ALL && kind != DI8DEVCLASS_GAMECTRL && kind != DI8DEVTYPE_DRIVING) return DI_OK;
        // The callback may make the file be read again: walk a copy.
        const std::vector<PadDevice> devices = CurrentConfig().devices;
        for (const PadDevice& device : devices) {
            if ((flags & DIEDFL_ATTACHEDONLY) && device.state == PadState::Gone) continue;
            if ((flags & DIEDFL_FORCEFEEDBACK) && !device.forceFeedback) continue;
            DIDEVICEINSTANCEA instance;
            FillInstance(device, instance, sizeof instance);
            if (callback(&instance, reference) == DIENUM_STOP) break;
        }
        return DI_OK;
    }

    HRESULT STDMETHODCALLTYPE GetDeviceStatus(REFGUID instance) override
    {
        const PadDevice* device = Find(instance);
        const HRESULT result = !device ? DIERR_DEVICENOTREG : device->state == PadState::Gone ? DI_NOTATTACHED : DI_OK;
        PadLog("DirectInput GetDeviceStatus %s -> %s", GuidText(instance).c_str(), ResultText(result));
        return result;
    }

    PADSIM_NOT_IMPLEMENTED(RunControlPanel, HWND, DWORD)
    PADSIM_NOT_IMPLEMENTED(Initialize, HINSTANCE, DWORD)
    PADSIM_NOT_IMPLEMENTED(FindDevice, REFGUID, LPCSTR, LPGUID)
    PADSIM_NOT_IMPLEMENTED(EnumDevicesBySemantics, LPCSTR, LPDIACTIONFORMATA, LPDIENUMDEVICESBYSEMANTICSCBA, LPVOID, DWORD)
    PADSIM_NOT_IMPLEMENTED(ConfigureDevices, LPDICONFIGUREDEVICESCALLBACK, LPDICONFIGUREDEVICESPARAMSA, DWORD, LPVOID)
};

} // namespace

extern "C" HRESULT WINAPI DirectInput8Create(HINSTANCE, DWORD version, REFIID iid, LPVOID* object, LPUNKNOWN outer)
{
    HRESULT result = CurrentConfig().createFails;
    if (result == S_OK && (!object || outer)) result = DIERR_INVALIDPARAM;
    else if (result == S_OK && version != DIRECTINPUT_VERSION) result = DIERR_OLDDIRECTINPUTVERSION;
    else if (result == S_OK && !IsEqualGUID(iid, IID_IDirectInput8A)) result = E_NOINTERFACE;
    if (object) *object = result == S_OK ? static_cast<IDirectInput8A*>(new PadDirectInput) : nullptr;
    PadLog("DirectInput8Create version=0x%lx iid=%s -> %s", version,
           IsEqualGUID(iid, IID_IDirectInput8A) ? "IDirectInput8A" : GuidText(iid).c_str(), ResultText(result));
    return result;
}
