// COM ports on Windows: the devices of the Ports class with their friendly
// names and hardware ids, then, without ids, every other COMn that the DOS
// device names hold or that opens. Wine knows the ports of its dosdevices
// links only when they are opened: no device name is listed for them.
#include "PortList.h"

#include <windows.h>

#include <devguid.h>
#include <setupapi.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

namespace {

// n of "COMn" (letter case ignored), else 0.
unsigned ComNumber(const char* name)
{
    if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name, 3, "COM", 3) != CSTR_EQUAL) return 0;
    if (!std::isdigit(static_cast<unsigned char>(name[3]))) return 0;
    char* end = nullptr;
    const unsigned long n = std::strtoul(name + 3, &end, 10);
    return end != name + 3 && *end == '\0' && n <= 255 ? static_cast<unsigned>(n) : 0;
}

std::string DeviceText(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property)
{
    char text[512] = "";
    // A hardware id list is several texts, each ending in a null: the first is kept.
    if (!SetupDiGetDeviceRegistryPropertyA(set, &device, property, nullptr, reinterpret_cast<BYTE*>(text),
                                           sizeof text - 1, nullptr)) {
        return {};
    }
    return text;
}

unsigned PortNameNumber(HDEVINFO set, SP_DEVINFO_DATA& device)
{
    HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) return 0;
    char name[64] = "";
    DWORD size = sizeof name - 1;
    DWORD type = 0;
    const LSTATUS status = RegQueryValueExA(key, "PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_SZ ? ComNumber(name) : 0;
}

void AddClassPorts(std::vector<ComPortEntry>& ports)
{
    HDEVINFO set = SetupDiGetClassDevsA(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) return;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &device); ++i) {
        ComPortEntry port;
        port.number = PortNameNumber(set, device);
        if (port.number == 0) continue; // a printer port
        port.description = DeviceText(set, device, SPDRP_FRIENDLYNAME);
        port.hardwareId = DeviceText(set, device, SPDRP_HARDWAREID);
        ports.push_back(port);
    }
    SetupDiDestroyDeviceInfoList(set);
}

// Every DOS device name: texts each ending in a null, a null after the last.
std::string DosDeviceNames()
{
    std::string names(65536, '\0');
    while (QueryDosDeviceA(nullptr, names.data(), static_cast<DWORD>(names.size())) == 0) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || names.size() >= (1u << 24)) return {};
        names.resize(names.size() * 2);
    }
    return names;
}

// Returns the numbers listed by now.
std::set<unsigned> AddDosPorts(std::vector<ComPortEntry>& ports)
{
    std::set<unsigned> listed;
    for (const ComPortEntry& port : ports) listed.insert(port.number);
    const std::string names = DosDeviceNames();
    for (const char* name = names.c_str(); *name; name += std::strlen(name) + 1) {
        ComPortEntry port;
        port.number = ComNumber(name);
        if (port.number == 0 || !listed.insert(port.number).second) continue;
        char target[1024] = "";
        if (QueryDosDeviceA(name, target, sizeof target)) port.description = target;
        ports.push_back(port);
    }
    return listed;
}

// A port opened for no access at all: nothing is read, written or set.
// One held open elsewhere refuses, but is there.
bool PortOpens(unsigned number)
{
    const std::string name = "\\\\.\\COM" + std::to_string(number);
    HANDLE port = CreateFileA(name.c_str(), 0, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
    }
    CloseHandle(port);
    return true;
}

} // namespace

std::vector<ComPortEntry> ListPorts()
{
    std::vector<ComPortEntry> ports;
    AddClassPorts(ports);
    std::set<unsigned> listed = AddDosPorts(ports);
    for (unsigned n = 1; n <= 255; ++n) {
        if (listed.count(n) == 0 && PortOpens(n)) ports.push_back(ComPortEntry{n, {}, {}});
    }
    return ports;
}
