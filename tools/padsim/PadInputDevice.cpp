#include "PadInputDevice.h"

#include "PadCounted.h"
#include "PadLog.h"
#include "PadObjects.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr LONG RawMaximum = 65535;

class PadInputDevice final : public PadCounted<IDirectInputDevice8A> {
public:
    explicit PadInputDevice(const std::string& section) : PadCounted(section)
    {
        std::fill(std::begin(minimum_), std::end(minimum_), 0);
        std::fill(std::begin(maximum_), std::end(maximum_), RawMaximum);
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        return QueryOwn(iid, IID_IDirectInputDevice8A, object);
    }
    HRESULT STDMETHODCALLTYPE EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA callback, LPVOID reference, DWORD flags) override
    {
        PadLog("%s EnumObjects flags=0x%lx", name_.c_str(), flags);
        const PadDevice* device = Device();
        if (!callback) return DIERR_INVALIDPARAM;
        if (!device) return DIERR_UNPLUGGED;
        const DWORD kinds = DIDFT_GETTYPE(flags);
        for (const PadObject& object : ObjectsOf(*device)) {
            if (kinds != DIDFT_ALL && (DIDFT_GETTYPE(object.typeId) & kinds) == 0) continue;
            DIDEVICEOBJECTINSTANCEA instance{};
            instance.dwSize = sizeof instance;
            instance.guidType = object.type;
            instance.dwOfs = object.offset;
            instance.dwType = object.typeId;
            instance.dwFlags = object.value != PadNoAxis ? DIDOI_ASPECTPOSITION : 0;
            std::memcpy(instance.tszName, object.name, sizeof object.name);
            if (callback(&instance, reference) == DIENUM_STOP) break;
        }
        return DI_OK;
    }

    HRESULT STDMETHODCALLTYPE SetProperty(REFGUID property, LPCDIPROPHEADER header) override
    {
        if (&property != &DIPROP_RANGE) {
            // The predefined properties are small numbers in the place of a GUID's address.
            const auto number = reinterpret_cast<uintptr_t>(&property);
            PadLog("%s SetProperty %s -> E_NOTIMPL", name_.c_str(),
                   number < 0x10000 ? std::to_string(number).c_str() : GuidText(property).c_str());
            return E_NOTIMPL;
        }
        if (!header || header->dwSize != sizeof(DIPROPRANGE) || header->dwHeaderSize != sizeof(DIPROPHEADER)) {
            PadLog("%s SetProperty RANGE size=%lu header=%lu -> %s", name_.c_str(), header ? header->dwSize : 0,
                   header ? header->dwHeaderSize : 0, ResultText(DIERR_INVALIDPARAM));
            return DIERR_INVALIDPARAM;
        }
        const auto& range = *reinterpret_cast<const DIPROPRANGE*>(header);
        const HRESULT result = SetRange(range);
        PadLog("%s SetProperty RANGE how=%s obj=0x%lx min=%ld max=%ld -> %s", name_.c_str(),
               range.diph.dwHow == DIPH_BYID ? "id" : range.diph.dwHow == DIPH_BYOFFSET ? "offset" : "device",
               range.diph.dwObj, range.lMin, range.lMax, ResultText(result));
        return result;
    }

    HRESULT STDMETHODCALLTYPE Acquire() override
    {
        HRESULT result = !formatSet_ ? DIERR_INVALIDPARAM : Lost();
        if (result == DI_OK && acquired_) result = S_FALSE;
        if (result == DI_OK) acquired_ = true;
        return Done("Acquire", result);
    }
    HRESULT STDMETHODCALLTYPE Unacquire() override
    {
        const HRESULT result = acquired_ ? DI_OK : S_FALSE;
        acquired_ = false;
        return Done("Unacquire", result);
    }
    HRESULT STDMETHODCALLTYPE Poll() override { return Done("Poll", Readable()); }

    HRESULT STDMETHODCALLTYPE GetDeviceState(DWORD size, LPVOID data) override
    {
        HRESULT result = Readable();
        if (result == DI_OK && (!data || size != dataSize_)) result = DIERR_INVALIDPARAM;
        if (result == DI_OK) {
            const DIJOYSTATE2 state = State(*Device());
            std::memset(data, 0, size);
            std::memcpy(data, &state, std::min<std::size_t>(size, sizeof state));
        }
        PadLog("%s GetDeviceState size=%lu -> %s", name_.c_str(), size, ResultText(result));
        return result;
    }

    HRESULT STDMETHODCALLTYPE SetDataFormat(LPCDIDATAFORMAT format) override
    {
        HRESULT result = acquired_ ? DIERR_ACQUIRED : DI_OK;
        if (result == DI_OK && (!format || format->dwSize != sizeof(DIDATAFORMAT) ||
                                format->dwObjSize != sizeof(DIOBJECTDATAFORMAT) || format->dwDataSize == 0)) {
            result = DIERR_INVALIDPARAM;
        }
        if (result == DI_OK) formatSet_ = true, dataSize_ = format->dwDataSize;
        PadLog("%s SetDataFormat size=%lu objsize=%lu flags=0x%lx datasize=%lu objects=%lu -> %s", name_.c_str(),
               format ? format->dwSize : 0, format ? format->dwObjSize : 0, format ? format->dwFlags : 0,
               format ? format->dwDataSize : 0, format ? format->dwNumObjs : 0, ResultText(result));
        return result;
    }

    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override
    {
        const DWORD access = flags & (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE);
        const DWORD focus = flags & (DISCL_FOREGROUND | DISCL_BACKGROUND);
        HRESULT result = DI_OK;
        if (access == 0 || access == (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE) || focus == 0 ||
            focus == (DISCL_FOREGROUND | DISCL_BACKGROUND) || (flags & ~(access | focus | DISCL_NOWINKEY)) != 0) {
            result = DIERR_INVALIDPARAM;
        } else if (!IsWindow(window)) {
            result = E_HANDLE;
        }
        PadLog("%s SetCooperativeLevel window=%s flags=%lu -> %s", name_.c_str(), IsWindow(window) ? "valid" : "none",
               flags, ResultText(result));
        return result;
    }

    HRESULT STDMETHODCALLTYPE GetDeviceInfo(LPDIDEVICEINSTANCEA info) override
    {
        const PadDevice* device = Device();
        HRESULT result = !device ? DIERR_UNPLUGGED : DI_OK;
        if (!info || (info->dwSize != sizeof(DIDEVICEINSTANCEA) && info->dwSize != sizeof(DIDEVICEINSTANCE_DX3A)))
            result = DIERR_INVALIDPARAM;
        if (result == DI_OK) FillInstance(*device, *info, info->dwSize);
        PadLog("%s GetDeviceInfo size=%lu -> %s", name_.c_str(), info ? info->dwSize : 0, ResultText(result));
        return result;
    }

    PADSIM_NOT_IMPLEMENTED(GetCapabilities, LPDIDEVCAPS)
    PADSIM_NOT_IMPLEMENTED(GetProperty, REFGUID, LPDIPROPHEADER)
    PADSIM_NOT_IMPLEMENTED(GetDeviceData, DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD)
    PADSIM_NOT_IMPLEMENTED(SetEventNotification, HANDLE)
    PADSIM_NOT_IMPLEMENTED(GetObjectInfo, LPDIDEVICEOBJECTINSTANCEA, DWORD, DWORD)
    PADSIM_NOT_IMPLEMENTED(RunControlPanel, HWND, DWORD)
    PADSIM_NOT_IMPLEMENTED(Initialize, HINSTANCE, DWORD, REFGUID)
    PADSIM_NOT_IMPLEMENTED(CreateEffect, REFGUID, LPCDIEFFECT, LPDIRECTINPUTEFFECT*, LPUNKNOWN)
    PADSIM_NOT_IMPLEMENTED(EnumEffects, LPDIENUMEFFECTSCALLBACKA, LPVOID, DWORD)
    PADSIM_NOT_IMPLEMENTED(GetEffectInfo, LPDIEFFECTINFOA, REFGUID)
    PADSIM_NOT_IMPLEMENTED(GetForceFeedbackState, LPDWORD)
    PADSIM_NOT_IMPLEMENTED(SendForceFeedbackCommand, DWORD)
    PADSIM_NOT_IMPLEMENTED(EnumCreatedEffectObjects, LPDIENUMCREATEDEFFECTOBJECTSCALLBACK, LPVOID, DWORD)
    PADSIM_NOT_IMPLEMENTED(Escape, LPDIEFFESCAPE)
    PADSIM_NOT_IMPLEMENTED(SendDeviceData, DWORD, LPCDIDEVICEOBJECTDATA, LPDWORD, DWORD)
    PADSIM_NOT_IMPLEMENTED(EnumEffectsInFile, LPCSTR, LPDIENUMEFFECTSINFILECALLBACK, LPVOID, DWORD)
    PADSIM_NOT_IMPLEMENTED(WriteEffectToFile, LPCSTR, DWORD, LPDIFILEEFFECT, DWORD)
    PADSIM_NOT_IMPLEMENTED(BuildActionMap, LPDIACTIONFORMATA, LPCSTR, DWORD)
    PADSIM_NOT_IMPLEMENTED(SetActionMap, LPDIACTIONFORMATA, LPCSTR, DWORD)
    PADSIM_NOT_IMPLEMENTED(GetImageInfo, LPDIDEVICEIMAGEINFOHEADERA)

private:
    // The section's device in padsim.ini now; null when it went away.
    const PadDevice* Device() const
    {
        for (const PadDevice& device : CurrentConfig().devices)
            if (device.section == name_) return &device;
        return nullptr;
    }

    // DI_OK while the device is plugged in, else what a lost or unplugged
    // device answers; such a device is no longer acquired.
    HRESULT Lost()
    {
        const PadDevice* device = Device();
        const HRESULT result = !device || device->state == PadState::Gone ? DIERR_UNPLUGGED
                               : device->state == PadState::Lost          ? DIERR_INPUTLOST
                                                                          : DI_OK;
        if (result != DI_OK) acquired_ = false;
        return result;
    }

    HRESULT Readable()
    {
        const HRESULT result = Lost();
        return result == DI_OK && !acquired_ ? DIERR_NOTACQUIRED : result;
    }

    HRESULT SetRange(const DIPROPRANGE& range)
    {
        const PadDevice* device = Device();
        if (!device) return DIERR_UNPLUGGED;
        if (acquired_) return DIERR_ACQUIRED;
        if (range.lMin >= range.lMax || (range.diph.dwHow == DIPH_DEVICE && range.diph.dwObj != 0)) return DIERR_INVALIDPARAM;
        std::vector<int> axes;
        for (const PadObject& object : ObjectsOf(*device)) {
            const DWORD id = range.diph.dwHow == DIPH_BYID ? object.typeId : object.offset;
            if (DIDFT_GETTYPE(object.typeId) & DIDFT_AXIS && (range.diph.dwHow == DIPH_DEVICE || id == range.diph.dwObj))
                axes.push_back(object.value);
        }
        if (axes.empty()) return DIERR_OBJECTNOTFOUND;
        if (std::find(axes.begin(), axes.end(), device->rangeFails) != axes.end()) return E_FAIL;
        for (int axis : axes) minimum_[axis] = range.lMin, maximum_[axis] = range.lMax;
        return DI_OK;
    }

    // The raw values (0..65535) scaled to each axis's range.
    DIJOYSTATE2 State(const PadDevice& device) const
    {
        DIJOYSTATE2 state{};
        const auto scaled = [&](int axis) {
            const LONGLONG raw = std::clamp<LONGLONG>(device.values[axis], 0, RawMaximum);
            return static_cast<LONG>(minimum_[axis] + raw * (LONGLONG{maximum_[axis]} - minimum_[axis]) / RawMaximum);
        };
        LONG* axes[PadAxisKinds] = {&state.lX, &state.lY, &state.lZ, &state.lRx, &state.lRy, &state.lRz};
        for (int axis : device.axes) *axes[axis] = scaled(axis);
        for (int s = 0; s < std::min(device.sliders, 2); ++s) state.rglSlider[s] = scaled(PadAxisKinds + s);
        for (int p = 0; p < 4; ++p) state.rgdwPOV[p] = p < device.povs ? device.povValues[p] : 0xFFFFFFFFu;
        for (int b : device.pressed)
            if (b < std::min(device.buttons, 128)) state.rgbButtons[b] = 0x80;
        return state;
    }

    bool formatSet_ = false;
    bool acquired_ = false;
    DWORD dataSize_ = 0;
    LONG minimum_[PadValues];
    LONG maximum_[PadValues];
};

} // namespace

IDirectInputDevice8A* NewInputDevice(const std::string& section) { return new PadInputDevice(section); }
