#pragma once

#define DIRECTINPUT_VERSION 0x0800
#include <windows.h>
#include <dinput.h>

#include <cstdint>
#include <string>
#include <vector>

// The scripted game controllers of padsim.ini in the working folder.

enum class PadState { Plugged, Lost, Gone };

// Values by index: X, Y, Z, Rx, Ry, Rz, then slider 0, 1, ...
constexpr int PadAxisKinds = 6;
constexpr int PadMaxSliders = 8;
constexpr int PadMaxPovs = 8;
constexpr int PadMaxButtons = 128;
constexpr int PadValues = PadAxisKinds + PadMaxSliders;
constexpr int PadNoAxis = -1;

struct PadDevice {
    std::string section; // "Device1", ...
    std::string name;
    GUID instance{};
    uint32_t product = 0x80362341; // PID << 16 | VID: the wheel board's USB ids
    bool forceFeedback = true;
    std::vector<int> axes{0, 1, 2}; // value indexes of the axes, in the order listed
    int sliders = 0;
    int povs = 0;
    int buttons = 32;
    int32_t values[PadValues] = {}; // raw, 0..65535
    uint32_t povValues[PadMaxPovs];
    std::vector<int> pressed;
    PadState state = PadState::Plugged;
    int rangeFails = PadNoAxis; // the value index whose range setting fails
};

struct PadConfig {
    HRESULT createFails = S_OK;
    HRESULT joyConfigFails = S_OK;
    std::vector<PadDevice> devices;
};

// padsim.ini as it is now: read again whenever its modification time or
// size changed since the last call; no file, no devices.
const PadConfig& CurrentConfig();

// The value index of an axis name (X, Y, Z, RX, RY, RZ, S0, S1, ...), any
// letter case; PadNoAxis when it is none.
int AxisIndex(const std::string& name);

// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}"
std::string GuidText(const GUID& guid);
