#pragma once

#include "platform/SerialPort.h"

#include <cstdint>

// The board's serial port. Synchronous, with short driver time-outs;
// callers that wait for a reply sleep in WaitForInput for the time they
// have left, against their own clock.
// The operations are virtual in this slot order: Open, Close, Write, Read,
// WriteString, BytesWaiting, ReadByte, WriteByte, Purge, SetLines. On a
// closed port every operation does nothing and returns 0 (Close: -1).
class ComPort {
public:
    ComPort() = default;
    ComPort(const ComPort&) = delete;
    ComPort& operator=(const ComPort&) = delete;
    // Purges and closes when open.
    ~ComPort();

    // Opens COM <port> at the baud rate (8N1, DTR on, RTS off), closing
    // the port first when it is open. False leaves the port closed.
    virtual bool Open(uint8_t port, uint32_t baud);
    // Purges, then closes: 1 or 0 as the system reported, -1 when it was
    // not open. Closed afterwards in every case.
    virtual int Close();
    // One write; the count the system accepted.
    virtual uint32_t Write(const void* bytes, uint32_t count);
    // Up to 5 reads, each asking for the bytes still missing; the total
    // read, less than count when the driver time-outs ran out first.
    virtual uint32_t Read(void* buffer, uint32_t count);
    // The text without its terminating zero.
    virtual uint32_t WriteString(const char* text);
    // Bytes in the receive queue.
    virtual uint32_t BytesWaiting();
    // One byte; 0 when none came, which reads the same as a zero byte.
    virtual uint8_t ReadByte();
    virtual uint32_t WriteByte(uint8_t byte);
    // Drops everything queued in both directions.
    virtual void Purge();
    // On: DTR, RTS, break off. Off: no DTR, no RTS, break on.
    virtual void SetLines(bool on);

    // Drops the bytes received and not yet read, before a request whose
    // reply must not be mixed with an earlier one; frames written before
    // still go out (a full purge could lose them while the driver holds
    // them).
    void DropInput();

    // Sleeps until a byte is there to read, at most ms, in the kernel
    // (through the clock in use); true when one is there. False at once on
    // a closed port, and as soon as the line fails.
    bool WaitForInput(uint32_t ms);

    bool IsOpen() const { return handle_ != InvalidSerialHandle; }

private:
    SerialHandle handle_ = InvalidSerialHandle;
};
