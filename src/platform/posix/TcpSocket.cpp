#include "platform/TcpSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Waits until the socket is ready for the events; false on time-out or error.
bool WaitFor(int fd, short events, uint32_t waitMs)
{
    pollfd p{fd, events, 0};
    int ready;
    do {
        ready = poll(&p, 1, static_cast<int>(waitMs));
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

} // namespace

bool StartSockets(int& error)
{
    error = 0;
    return true;
}

void StopSockets() {}

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
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0) return NoSocket;
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port);
    peer.sin_addr.s_addr = address;
    const int flags = fcntl(fd, F_GETFL);
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    bool connected = connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0;
    if (!connected && errno == EINPROGRESS && WaitFor(fd, POLLOUT, waitMs)) {
        int error = 0;
        socklen_t length = sizeof error;
        connected = getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
    }
    if (!connected) {
        close(fd);
        return NoSocket;
    }
    fcntl(fd, F_SETFL, flags);
    return fd;
}

bool SendTcp(TcpHandle socket, const char* bytes, std::size_t count)
{
    while (count > 0) {
        const ssize_t sent = send(static_cast<int>(socket), bytes, count, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        bytes += sent;
        count -= static_cast<std::size_t>(sent);
    }
    return true;
}

long ReceiveTcp(TcpHandle socket, char* buffer, std::size_t size, uint32_t waitMs)
{
    const int fd = static_cast<int>(socket);
    if (!WaitFor(fd, POLLIN, waitMs)) return TcpNothingYet;
    ssize_t count;
    do {
        count = recv(fd, buffer, size, 0);
    } while (count < 0 && errno == EINTR);
    return count < 0 ? TcpFailed : static_cast<long>(count);
}

void CloseTcp(TcpHandle socket)
{
    if (socket != NoSocket) close(static_cast<int>(socket));
}
