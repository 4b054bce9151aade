#include "PadConfig.h"

#include "PadLog.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace {

constexpr const char* ConfigFile = "padsim.ini";
constexpr const char* AxisNames[PadAxisKinds] = {"X", "Y", "Z", "RX", "RY", "RZ"};

std::string Trim(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string Upper(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::vector<std::string> List(const std::string& text)
{
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string item = Trim(text.substr(start, comma - start));
        if (!item.empty()) items.push_back(item);
        start = comma + 1;
    }
    return items;
}

// A whole number in the base (0: decimal, or hexadecimal after 0x) within
// the bounds; false, with a line in the log, when it is not.
bool Number(const std::string& where, const std::string& text, int base, long long low, long long high,
            long long& value)
{
    char* end = nullptr;
    errno = 0;
    const long long read = std::strtoll(text.c_str(), &end, base);
    if (text.empty() || *end != '\0' || errno != 0 || read < low || read > high) {
        PadLog("padsim.ini: %s=%s is not a number in %lld..%lld, ignored", where.c_str(), text.c_str(), low, high);
        return false;
    }
    value = read;
    return true;
}

bool ParseGuid(const std::string& text, GUID& guid)
{
    unsigned long data1 = 0;
    unsigned data2 = 0, data3 = 0, bytes[8] = {};
    int length = 0;
    if (std::sscanf(text.c_str(), "{%8lx-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}%n", &data1, &data2, &data3, &bytes[0],
                    &bytes[1], &bytes[2], &bytes[3], &bytes[4], &bytes[5], &bytes[6], &bytes[7], &length) != 11 ||
        static_cast<std::size_t>(length) != text.size()) {
        return false;
    }
    guid.Data1 = data1;
    guid.Data2 = static_cast<unsigned short>(data2);
    guid.Data3 = static_cast<unsigned short>(data3);
    for (int i = 0; i < 8; ++i) guid.Data4[i] = static_cast<unsigned char>(bytes[i]);
    return true;
}

void SetDeviceKey(PadDevice& device, const std::string& key, const std::string& value)
{
    const std::string where = device.section + " " + key;
    long long number = 0;
    const int axis = AxisIndex(key);
    if (key == "NAME") {
        device.name = value;
    } else if (key == "GUID") {
        if (!ParseGuid(value, device.instance)) PadLog("padsim.ini: %s=%s is no GUID, ignored", where.c_str(), value.c_str());
    } else if (key == "PRODUCT") {
        if (Number(where, value, 16, 0, 0xFFFFFFFFll, number)) device.product = static_cast<uint32_t>(number);
    } else if (key == "FF") {
        if (Number(where, value, 10, 0, 1, number)) device.forceFeedback = number == 1;
    } else if (key == "AXES") {
        std::vector<int> axes;
        for (const std::string& name : List(value)) {
            const int index = AxisIndex(name);
            if (index == PadNoAxis || index >= PadAxisKinds || std::count(axes.begin(), axes.end(), index)) {
                PadLog("padsim.ini: %s: %s is no axis or twice, ignored", where.c_str(), name.c_str());
            } else {
                axes.push_back(index);
            }
        }
        device.axes = axes;
    } else if (key == "SLIDERS") {
        if (Number(where, value, 10, 0, PadMaxSliders, number)) device.sliders = static_cast<int>(number);
    } else if (key == "POVS") {
        if (Number(where, value, 10, 0, PadMaxPovs, number)) device.povs = static_cast<int>(number);
    } else if (key == "BUTTONS") {
        if (Number(where, value, 10, 0, PadMaxButtons, number)) device.buttons = static_cast<int>(number);
    } else if (axis != PadNoAxis) {
        if (Number(where, value, 10, 0, 65535, number)) device.values[axis] = static_cast<int32_t>(number);
    } else if (key.size() == 4 && key.compare(0, 3, "POV") == 0 && key[3] >= '0' && key[3] < '0' + PadMaxPovs) {
        if (Number(where, value, 10, -1, 35999, number)) device.povValues[key[3] - '0'] = static_cast<uint32_t>(number);
    } else if (key == "PRESSED") {
        device.pressed.clear();
        for (const std::string& item : List(value))
            if (Number(where, item, 10, 0, PadMaxButtons - 1, number)) device.pressed.push_back(static_cast<int>(number));
    } else if (key == "STATE") {
        const std::string state = Upper(value);
        if (state == "PLUGGED") device.state = PadState::Plugged;
        else if (state == "LOST") device.state = PadState::Lost;
        else if (state == "GONE") device.state = PadState::Gone;
        else PadLog("padsim.ini: %s=%s is not plugged, lost or gone, ignored", where.c_str(), value.c_str());
    } else if (key == "RANGE_FAILS") {
        device.rangeFails = AxisIndex(value);
        if (device.rangeFails == PadNoAxis) PadLog("padsim.ini: %s=%s is no axis, ignored", where.c_str(), value.c_str());
    } else {
        PadLog("padsim.ini: %s is not known, ignored", where.c_str());
    }
}

void SetDirectInputKey(PadConfig& config, const std::string& key, const std::string& value)
{
    long long number = 0;
    HRESULT* target = key == "CREATE_FAILS" ? &config.createFails : key == "JOYCONFIG_FAILS" ? &config.joyConfigFails : nullptr;
    if (!target) {
        PadLog("padsim.ini: DirectInput %s is not known, ignored", key.c_str());
    } else if (Number("DirectInput " + key, value, 0, 0, 0xFFFFFFFFll, number)) {
        *target = static_cast<HRESULT>(static_cast<uint32_t>(number));
    }
}

PadDevice NewDevice(std::size_t number)
{
    PadDevice device;
    device.section = "Device" + std::to_string(number);
    // {50414400+n-0000-0000-5041-445349000000}: "PAD" and "PADSIM" in the bytes.
    device.instance = {static_cast<unsigned long>(0x50414400 + number), 0, 0, {0x50, 0x41, 0x44, 0x53, 0x49, 0x4D, 0, 0}};
    std::fill(std::begin(device.povValues), std::end(device.povValues), 0xFFFFFFFFu);
    return device;
}

PadConfig Read()
{
    PadConfig config;
    std::ifstream file(ConfigFile, std::ios::binary);
    std::string line, section;
    PadDevice* device = nullptr;
    while (std::getline(file, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            section = Trim(line.substr(1, line.size() - 2));
            device = nullptr;
            if (Upper(section) == "DEVICE" + std::to_string(config.devices.size() + 1)) {
                config.devices.push_back(NewDevice(config.devices.size() + 1));
                device = &config.devices.back();
            } else if (Upper(section) != "DIRECTINPUT") {
                PadLog("padsim.ini: section [%s] is not the next device, ignored", section.c_str());
            }
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            PadLog("padsim.ini: [%s] %s has no '=', ignored", section.c_str(), line.c_str());
            continue;
        }
        const std::string key = Upper(Trim(line.substr(0, equals))), value = Trim(line.substr(equals + 1));
        if (device) SetDeviceKey(*device, key, value);
        else if (Upper(section) == "DIRECTINPUT") SetDirectInputKey(config, key, value);
    }
    std::erase_if(config.devices, [](const PadDevice& d) {
        if (!d.name.empty()) return false;
        PadLog("padsim.ini: %s has no NAME, left out", d.section.c_str());
        return true;
    });
    PadLog("padsim.ini read: %lu device(s)", static_cast<unsigned long>(config.devices.size()));
    return config;
}

} // namespace

const PadConfig& CurrentConfig()
{
    static PadConfig config;
    static bool read = false;
    static FILETIME written{};
    static DWORD size = 0;
    WIN32_FILE_ATTRIBUTE_DATA now{};
    if (!GetFileAttributesExA(ConfigFile, GetFileExInfoStandard, &now)) now = {};
    if (!read || CompareFileTime(&now.ftLastWriteTime, &written) != 0 || now.nFileSizeLow != size) {
        read = true;
        written = now.ftLastWriteTime;
        size = now.nFileSizeLow;
        config = Read();
    }
    return config;
}

int AxisIndex(const std::string& name)
{
    const std::string upper = Upper(name);
    for (int i = 0; i < PadAxisKinds; ++i)
        if (upper == AxisNames[i]) return i;
    if (upper.size() == 2 && upper[0] == 'S' && upper[1] >= '0' && upper[1] < '0' + PadMaxSliders)
        return PadAxisKinds + (upper[1] - '0');
    return PadNoAxis;
}

std::string GuidText(const GUID& guid)
{
    char text[40];
    std::snprintf(text, sizeof text, "{%08lx-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}", guid.Data1, guid.Data2,
                  guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                  guid.Data4[6], guid.Data4[7]);
    return text;
}
