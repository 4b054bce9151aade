#include "platform/SerialPort.h"

#include <cstdio>

#include <windows.h>

namespace {

HANDLE Handle(SerialHandle handle) { return reinterpret_cast<HANDLE>(handle); }

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

bool SerialClose(SerialHandle handle) { return CloseHandle(Handle(handle)) != FALSE; }

uint32_t SerialWrite(SerialHandle handle, const uint8_t* bytes, uint32_t count)
{
    DWORD written = 0;
    WriteFile(Handle(handle), bytes, count, &written, nullptr);
    return written;
}

uint32_t SerialReadOnce(SerialHandle handle, uint8_t* buffer, uint32_t count)
{
    DWORD read = 0;
    ReadFile(Handle(handle), buffer, count, &read, nullptr);
    return read;
}

uint32_t SerialBytesWaiting(SerialHandle handle)
{
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(Handle(handle), &errors, &status)) return 0;
    return status.cbInQue;
}

void SerialPurge(SerialHandle handle)
{
    PurgeComm(Handle(handle), PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
}

void SerialDropInput(SerialHandle handle) { PurgeComm(Handle(handle), PURGE_RXABORT | PURGE_RXCLEAR); }

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
