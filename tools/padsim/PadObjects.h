#pragma once

#include "PadConfig.h"

// The DirectInput objects of a scripted device, in the order they are
// enumerated: its axes as listed, its sliders, hat switches and buttons.
struct PadObject {
    GUID type;
    DWORD offset;  // in DIJOYSTATE2; DIJOYSTATE2 has no place for a third slider or a fifth hat
    DWORD typeId;  // DIDFT_ type and instance: the id of property calls
    int value;     // the value index of an axis or slider, else PadNoAxis
    char name[16];
};

std::vector<PadObject> ObjectsOf(const PadDevice& device);

// The device instance as EnumDevices and GetDeviceInfo give it; size is
// the caller's dwSize.
void FillInstance(const PadDevice& device, DIDEVICEINSTANCEA& instance, DWORD size);
