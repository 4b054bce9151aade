#include "PadObjects.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr DWORD NoOffset = 0xFFFFFFFF;
constexpr const char* AxisTitles[PadAxisKinds] = {"X Axis", "Y Axis", "Z Axis", "X Rotation", "Y Rotation", "Z Rotation"};
// The product GUID of a HID device: PID << 16 | VID, then "PIDVID".
constexpr unsigned char ProductTail[8] = {0, 0, 'P', 'I', 'D', 'V', 'I', 'D'};
constexpr GUID ForceFeedbackDriver = {0xEEC6993A, 0xB3FD, 0x11D2, {0xA9, 0x16, 0x00, 0xC0, 0x4F, 0xB9, 0x86, 0x38}};

const GUID& AxisGuid(int axis)
{
    static const GUID* const guids[PadAxisKinds] = {&GUID_XAxis, &GUID_YAxis, &GUID_ZAxis,
                                                    &GUID_RxAxis, &GUID_RyAxis, &GUID_RzAxis};
    return *guids[axis];
}

PadObject Object(const GUID& type, DWORD offset, DWORD typeId, int value, const char* format, int number)
{
    PadObject object{type, offset, typeId, value, {}};
    std::snprintf(object.name, sizeof object.name, format, number);
    return object;
}

} // namespace

std::vector<PadObject> ObjectsOf(const PadDevice& device)
{
    std::vector<PadObject> objects;
    DWORD axis = 0;
    for (int a : device.axes) {
        objects.push_back(Object(AxisGuid(a), static_cast<DWORD>(4 * a), DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(axis++), a,
                                 AxisTitles[a], 0));
    }
    for (int s = 0; s < device.sliders; ++s) {
        objects.push_back(Object(GUID_Slider, s < 2 ? static_cast<DWORD>(24 + 4 * s) : NoOffset,
                                 DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(axis++), PadAxisKinds + s, "Slider %d", s));
    }
    for (int p = 0; p < device.povs; ++p) {
        objects.push_back(Object(GUID_POV, p < 4 ? static_cast<DWORD>(32 + 4 * p) : NoOffset,
                                 DIDFT_POV | DIDFT_MAKEINSTANCE(p), PadNoAxis, "Hat Switch %d", p));
    }
    for (int b = 0; b < device.buttons; ++b) {
        objects.push_back(Object(GUID_Button, static_cast<DWORD>(48 + b), DIDFT_PSHBUTTON | DIDFT_MAKEINSTANCE(b),
                                 PadNoAxis, "Button %d", b));
    }
    return objects;
}

void FillInstance(const PadDevice& device, DIDEVICEINSTANCEA& instance, DWORD size)
{
    std::memset(&instance, 0, size);
    instance.dwSize = size;
    instance.guidInstance = device.instance;
    instance.guidProduct = {device.product, 0, 0, {}};
    std::memcpy(instance.guidProduct.Data4, ProductTail, sizeof ProductTail);
    instance.dwDevType = DI8DEVTYPE_DRIVING | (DI8DEVTYPEDRIVING_DUALPEDALS << 8) | DIDEVTYPE_HID;
    std::snprintf(instance.tszInstanceName, sizeof instance.tszInstanceName, "%s", device.name.c_str());
    std::snprintf(instance.tszProductName, sizeof instance.tszProductName, "%s", device.name.c_str());
    if (size < sizeof(DIDEVICEINSTANCEA)) return; // the DirectX 3 form ends here
    if (device.forceFeedback) instance.guidFFDriver = ForceFeedbackDriver;
    instance.wUsagePage = 1; // generic desktop
    instance.wUsage = 4;     // joystick
}
