#include "platform/TcpSocket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace {

// Waits until the socket can be read (or, with write, written); false on
// time-out or error.
bool WaitFor(SOCKET s, bool write, uint32_t waitMs)
{
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(s, &ready);
    FD_SET(s, &failed);
    timeval wait{static_cast<long>(waitMs / 1000), static_cast<long>(waitMs % 1000) * 1000};
    const int count = select(0, write ? nullptr : &ready, write ? &ready : nullptr, &failed, &wait);
    return count > 0 && FD_ISSET(s, &ready);
}

} // namespace

bool StartSockets(int& error)
{
    WSADATA data;
    error = WSAStartup(0x0101, &data);
    return error == 0;
}

void StopSockets() { WSACleanup(); }

bool ResolveHost(const char* host, uint32_t& address)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &found) != 0 || !found) return false;
    address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    return true;
}

TcpHandle ConnectTcp(uint32_t address, uint16_t port, uint32_t waitMs)
{
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return NoSocket;
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port);
    peer.sin_addr.s_addr = address;
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    bool connected = connect(s, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0;
    if (!connected && WSAGetLastError() == WSAEWOULDBLOCK) connected = WaitFor(s, true, waitMs);
    if (!connected) {
        closesocket(s);
        return NoSocket;
    }
    nonBlocking = 0;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    return static_cast<TcpHandle>(s);
}

bool SendTcp(TcpHandle socket, const char* bytes, std::size_t count)
{
    while (count > 0) {
        const int sent = send(static_cast<SOCKET>(socket), bytes, static_cast<int>(count), 0);
        if (sent <= 0) return false;
        bytes += sent;
        count -= static_cast<std::size_t>(sent);
    }
    return true;
}

long ReceiveTcp(TcpHandle socket, char* buffer, std::size_t size, uint32_t waitMs)
{
    const auto s = static_cast<SOCKET>(socket);
    if (!WaitFor(s, false, waitMs)) return TcpNothingYet;
    const int count = recv(s, buffer, static_cast<int>(size), 0);
    return count == SOCKET_ERROR ? TcpFailed : static_cast<long>(count);
}

void CloseTcp(TcpHandle socket)
{
    if (socket != NoSocket) closesocket(static_cast<SOCKET>(socket));
}
