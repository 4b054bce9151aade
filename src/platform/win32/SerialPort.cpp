#include "platform/SerialPort.h"

#include <cstdio>
#include <mutex>
#include <unordered_map>

#include <windows.h>

namespace {

HANDLE Handle(SerialHandle handle) { return reinterpret_cast<HANDLE>(handle); }

// The byte a wait for input took off the line, per handle, until a read
// gives it out or a purge or a close drops it.
std::mutex g_heldLock;
std::unordered_map<SerialHandle, uint8_t> g_held;

bool TakeHeld(SerialHandle handle, uint8_t& first)
{
    const std::lock_guard<std::mutex> hold(g_heldLock);
    const auto found = g_held.find(handle);
    if (found == g_held.end()) return false;
    first = found->second;
    g_held.erase(found);
    return true;
}

bool Holds(SerialHandle handle)
{
    const std::lock_guard<std::mutex> hold(g_heldLock);
    return g_held.count(handle) != 0;
}

void Hold(SerialHandle handle, uint8_t first)
{
    const std::lock_guard<std::mutex> hold(g_heldLock);
    g_held[handle] = first;
}

void DropHeld(SerialHandle handle)
{
    const std::lock_guard<std::mutex> hold(g_heldLock);
    g_held.erase(handle);
}

uint32_t QueuedBytes(HANDLE h)
{
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(h, &errors, &status)) return 0;
    return status.cbInQue;
}

bool SetTimeouts(HANDLE h, const SerialTimeouts& wanted)
{
    COMMTIMEOUTS timeouts{};
    GetCommTimeouts(h, &timeouts);
    timeouts.ReadIntervalTimeout = wanted.readInterval;
    timeouts.ReadTotalTimeoutMultiplier = wanted.readTotalMultiplier;
    timeouts.ReadTotalTimeoutConstant = wanted.readTotalConstant;
    timeouts.WriteTotalTimeoutMultiplier = wanted.writeTotalMultiplier;
    timeouts.WriteTotalTimeoutConstant = wanted.writeTotalConstant;
    return SetCommTimeouts(h, &timeouts) != FALSE;
}

} // namespace

std::string SerialDeviceName(uint8_t port)
{
    char name[32];
    std::snprintf(name, sizeof name, "\\\\.\\COM%d", static_cast<int>(port));
    return name;
}

std::string ProgramPortName(uint8_t port) { return "COM" + std::to_string(port); }

SerialHandle SerialOpen(uint8_t port, uint32_t baud)
{
    const std::string name = SerialDeviceName(port);
    HANDLE h = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return InvalidSerialHandle;

    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    GetCommState(h, &dcb);
    dcb.DCBlength = 28;
    dcb.BaudRate = baud;
    dcb.fBinary = 1;
    dcb.fParity = 0;
    dcb.fOutxCtsFlow = 0;
    dcb.fOutxDsrFlow = 0;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = 0;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.fAbortOnError = 0;
    dcb.wReserved = 0;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    SetCommState(h, &dcb);

    SetTimeouts(h, BoardTimeouts);

    SetCommMask(h, EV_RXCHAR);
    return reinterpret_cast<SerialHandle>(h);
}

SerialHandle SerialOpenNamed(const char* name, uint32_t baud, const SerialTimeouts& timeouts, SerialOpenFault& fault)
{
    const std::string path = std::string("\\\\.\\") + name;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        fault = SerialOpenFault::Device;
        return InvalidSerialHandle;
    }
    char mode[64];
    std::snprintf(mode, sizeof mode, "baud=%u data=8 parity=N stop=1", static_cast<unsigned>(baud));
    DCB dcb{};
    dcb.DCBlength = 28;
    if (!BuildCommDCBA(mode, &dcb)) {
        fault = SerialOpenFault::LineSettings;
    } else if (!SetCommState(h, &dcb)) {
        fault = SerialOpenFault::LineApply;
    } else if (!SetTimeouts(h, timeouts)) {
        fault = SerialOpenFault::Timeouts;
    } else {
        fault = SerialOpenFault::None;
        return reinterpret_cast<SerialHandle>(h);
    }
    CloseHandle(h);
    return InvalidSerialHandle;
}

bool SerialClose(SerialHandle handle)
{
    DropHeld(handle);
    return CloseHandle(Handle(handle)) != FALSE;
}

uint32_t SerialWrite(SerialHandle handle, const uint8_t* bytes, uint32_t count)
{
    DWORD written = 0;
    WriteFile(Handle(handle), bytes, count, &written, nullptr);
    return written;
}

uint32_t SerialReadOnce(SerialHandle handle, uint8_t* buffer, uint32_t count)
{
    if (count == 0) return 0;
    uint32_t held = 0;
    if (TakeHeld(handle, buffer[0])) {
        if (count == 1) return 1;
        held = 1;
    }
    DWORD read = 0;
    ReadFile(Handle(handle), buffer + held, count - held, &read, nullptr);
    return held + read;
}

uint32_t SerialBytesWaiting(SerialHandle handle) { return QueuedBytes(Handle(handle)) + (Holds(handle) ? 1u : 0u); }

bool SerialWaitInput(SerialHandle handle, uint32_t ms)
{
    HANDLE h = Handle(handle);
    if (SerialBytesWaiting(handle) > 0) return true;
    // MAXDWORD itself would be no limit at all: the longest wait is a ms less.
    const DWORD limit = ms < MAXDWORD ? ms : MAXDWORD - 1;
    COMMTIMEOUTS own{};
    if (limit == 0 || !GetCommTimeouts(h, &own)) return false;
    COMMTIMEOUTS wait = own;
    wait.ReadIntervalTimeout = MAXDWORD;
    wait.ReadTotalTimeoutMultiplier = MAXDWORD;
    wait.ReadTotalTimeoutConstant = limit;
    if (!SetCommTimeouts(h, &wait)) return false;
    uint8_t first = 0;
    DWORD read = 0;
    const bool done = ReadFile(h, &first, 1, &read, nullptr) != FALSE;
    SetCommTimeouts(h, &own);
    if (!done || read != 1) return false;
    Hold(handle, first);
    return true;
}

void SerialPurge(SerialHandle handle)
{
    DropHeld(handle);
    PurgeComm(Handle(handle), PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
}

void SerialDropInput(SerialHandle handle)
{
    DropHeld(handle);
    PurgeComm(Handle(handle), PURGE_RXABORT | PURGE_RXCLEAR);
}

void SerialSetLines(SerialHandle handle, bool on)
{
    HANDLE h = Handle(handle);
    if (on) {
        EscapeCommFunction(h, SETDTR);
        EscapeCommFunction(h, SETRTS);
        EscapeCommFunction(h, CLRBREAK);
    } else {
        EscapeCommFunction(h, CLRDTR);
        EscapeCommFunction(h, CLRRTS);
        EscapeCommFunction(h, SETBREAK);
    }
}
