#pragma once

#include <cstddef>
#include <cstdint>

// IPv4 TCP connections for the HTTP client: Winsock on Windows, BSD
// sockets elsewhere. Every wait is bounded, so neither the window thread nor
// the receiving worker can be held by a server that stops answering.
using TcpHandle = intptr_t;
constexpr TcpHandle NoSocket = -1;

// Starts the system's sockets (WSAStartup 1.1); false with the system's
// error code. Every successful start is matched by one StopSockets.
bool StartSockets(int& error);
void StopSockets();

// The first IPv4 address of the host (network byte order); false when the
// name does not resolve.
bool ResolveHost(const char* host, uint32_t& address);

// Connects within waitMs; NoSocket when no connection was made.
TcpHandle ConnectTcp(uint32_t address, uint16_t port, uint32_t waitMs);

// Sends every byte; false when the connection failed.
bool SendTcp(TcpHandle socket, const char* bytes, std::size_t count);

// Receives what has come, waiting at most waitMs: the byte count, 0 when
// the server closed the connection, TcpNothingYet when nothing came in
// time, TcpFailed when the connection failed.
constexpr long TcpNothingYet = -2;
constexpr long TcpFailed = -1;
long ReceiveTcp(TcpHandle socket, char* buffer, std::size_t size, uint32_t waitMs);

void CloseTcp(TcpHandle socket);
