#include "core/ComPort.h"

#include "platform/Clock.h"

#include <cstring>

namespace {
constexpr int ReadAttempts = 5;
}

ComPort::~ComPort()
{
    if (IsOpen()) {
        SerialPurge(handle_);
        SerialClose(handle_);
    }
}

bool ComPort::Open(uint8_t port, uint32_t baud)
{
    if (IsOpen()) Close();
    handle_ = SerialOpen(port, baud);
    return IsOpen();
}

int ComPort::Close()
{
    Purge();
    if (!IsOpen()) return -1;
    const bool closed = SerialClose(handle_);
    handle_ = InvalidSerialHandle;
    return closed ? 1 : 0;
}

uint32_t ComPort::Write(const void* bytes, uint32_t count)
{
    if (!IsOpen() || count == 0) return 0;
    return SerialWrite(handle_, static_cast<const uint8_t*>(bytes), count);
}

uint32_t ComPort::Read(void* buffer, uint32_t count)
{
    if (!IsOpen() || count == 0) return 0;
    uint8_t* out = static_cast<uint8_t*>(buffer);
    uint32_t total = 0;
    for (int attempt = 0; attempt < ReadAttempts && total < count; ++attempt) {
        total += SerialReadOnce(handle_, out + total, count - total);
    }
    return total;
}

uint32_t ComPort::WriteString(const char* text)
{
    return Write(text, static_cast<uint32_t>(std::strlen(text)));
}

uint32_t ComPort::BytesWaiting() { return IsOpen() ? SerialBytesWaiting(handle_) : 0; }

uint8_t ComPort::ReadByte()
{
    uint8_t byte = 0;
    Read(&byte, 1);
    return byte;
}

uint32_t ComPort::WriteByte(uint8_t byte) { return Write(&byte, 1); }

void ComPort::Purge()
{
    if (IsOpen()) SerialPurge(handle_);
}

void ComPort::DropInput()
{
    if (IsOpen()) SerialDropInput(handle_);
}

bool ComPort::WaitForInput(uint32_t ms) { return IsOpen() && ActiveClock().WaitForInput(handle_, ms); }

void ComPort::SetLines(bool on)
{
    if (IsOpen()) SerialSetLines(handle_, on);
}
