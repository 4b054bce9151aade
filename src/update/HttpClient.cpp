#include "update/HttpClient.h"

#include "exec/Exec.h"
#include "exec/Memory.h"
#include "platform/Clock.h"
#include "platform/Controls.h"
#include "platform/MessageBoxStyle.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

constexpr std::size_t HostMax = 255;
constexpr std::size_t PathMax = 256;
constexpr std::size_t UrlMax = 255;
constexpr uint16_t HttpPort = 80;
constexpr uint32_t ConnectWaitMs = 2000;
constexpr uint64_t ReplyWaitMs = 2000;
constexpr uint32_t WorkerPollMs = 20; // how soon the worker notices it is to stop
constexpr std::string_view Marker = "text/plain\r\n\r\n";

// Splits "host[:port]" into the name to resolve and the port; false when
// the port is not a number from 1 to 65535.
bool SplitHost(const char* host, char (&name)[HostMax + 1], uint16_t& port)
{
    std::snprintf(name, sizeof name, "%s", host);
    port = HttpPort;
    char* colon = std::strrchr(name, ':');
    if (!colon) return true;
    *colon = '\0';
    char* end = nullptr;
    const long number = std::strtol(colon + 1, &end, 10);
    if (colon[1] < '0' || colon[1] > '9' || *end != '\0' || number < 1 || number > 65535) return false;
    port = static_cast<uint16_t>(number);
    return true;
}

// Names under ".invalid" never resolve, so they are not asked for.
bool IsReservedInvalid(const char* name)
{
    const std::string_view text(name), suffix(".invalid");
    if (text == "invalid") return true;
    if (text.size() <= suffix.size()) return false;
    std::string_view tail = text.substr(text.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i)
        if ((tail[i] | 0x20) != suffix[i]) return false;
    return true;
}

// "HTTP/1.x 200 ...": the server says the body is what was asked for.
bool StatusIsOk(const char* reply, std::size_t length)
{
    const std::string_view head(reply, length < 16 ? length : 16);
    const std::size_t space = head.find(' ');
    return head.starts_with("HTTP/") && space != std::string_view::npos && head.substr(space + 1).starts_with("200");
}

} // namespace

HttpClient::HttpClient()
{
    int error = 0;
    socketsStarted_ = StartSockets(error);
    if (!socketsStarted_) {
        char text[64];
        std::snprintf(text, sizeof text, "WSAStartup failed. Error: %d", error);
        ActiveControls().ShowMessage(nullptr, text, "Error", 0);
        return;
    }
    reply_ = static_cast<char*>(AllocMem(MemMainRam, ReplyLimit + 1));
}

HttpClient::~HttpClient()
{
    Stop();
    if (reply_) FreeMem(reply_);
    if (socketsStarted_) StopSockets();
}

void HttpClient::Fail(const char* text)
{
    failure_ = text;
    state_.store(Failed);
}

bool HttpClient::Send(const char* host, const char* path)
{
    received_ = 0;
    failure_ = "";
    if (!socketsStarted_ || !reply_) {
        Fail("Winsock did not start up correctly");
        return false;
    }
    char url[UrlMax + 1];
    const int urlLength = std::snprintf(url, sizeof url, "http://%s/%s", host, path);
    if (std::strlen(host) > HostMax || std::strlen(path) > PathMax || urlLength < 0 ||
        static_cast<std::size_t>(urlLength) > UrlMax) {
        Fail("Host or URL string is too long.");
        return false;
    }
    char name[HostMax + 1];
    uint16_t port = HttpPort;
    uint32_t address = 0;
    if (!SplitHost(host, name, port) || IsReservedInvalid(name) || !ResolveHost(name, address)) {
        Fail("Host was not found.");
        return false;
    }
    socket_ = ConnectTcp(address, port, ConnectWaitMs);
    if (socket_ == NoSocket) {
        Fail("Could not connect to server");
        return false;
    }
    char request[UrlMax + 64];
    const int requestLength =
        std::snprintf(request, sizeof request, "GET %s HTTP/1.0\r\nUser-Agent:CustomClient/1.0\r\n\r\n", url);
    state_.store(Receiving);
    if (!SendTcp(socket_, request, static_cast<std::size_t>(requestLength))) {
        CloseTcp(socket_);
        socket_ = NoSocket;
        Fail("Could not send URL request");
        return false;
    }
    startTick_ = ActiveClock().Milliseconds();
    worker_ = std::thread([this] { Receive(); });
    return true;
}

// The worker: receives into the reply until the server closes the
// connection, the reply outgrows the limit, or the caller stops waiting.
void HttpClient::Receive()
{
    while (state_.load() == Receiving) {
        const long count = ReceiveTcp(socket_, reply_ + received_, ReplyLimit + 1 - received_, WorkerPollMs);
        if (count == TcpNothingYet) continue;
        int receiving = Receiving;
        if (count < 0) {
            failure_ = "Could not receive server response";
            state_.compare_exchange_strong(receiving, Failed);
            return;
        }
        if (count == 0) {
            state_.compare_exchange_strong(receiving, Done);
            return;
        }
        received_ += static_cast<std::size_t>(count);
        if (received_ > ReplyLimit) {
            failure_ = "Server response is too long";
            state_.compare_exchange_strong(receiving, Failed);
            return;
        }
    }
}

// Ends the worker (it sees the state change within its poll time) and the
// connection.
void HttpClient::Stop()
{
    int receiving = Receiving;
    state_.compare_exchange_strong(receiving, TimedOut);
    if (worker_.joinable()) worker_.join();
    CloseTcp(socket_);
    socket_ = NoSocket;
}

const char* HttpClient::Body(std::size_t& length) const
{
    const std::string_view reply(reply_, received_);
    const std::size_t marker = reply.find(Marker);
    if (marker == std::string_view::npos) return nullptr;
    const std::size_t start = marker + Marker.size();
    length = received_ - start;
    return reply_ + start;
}

const char* HttpClient::GetText(const char* host, const char* path, std::size_t& length)
{
    length = 0;
    Stop();
    if (!Send(host, path)) return nullptr;
    Clock& clock = ActiveClock();
    const char* body = nullptr;
    for (;;) {
        const int state = state_.load();
        if (state == Done && received_ > 0) {
            if (!StatusIsOk(reply_, received_)) {
                Fail("Server did not send the file");
                break;
            }
            body = Body(length);
            if (body) break;
        }
        if (state != Receiving && state != Done) break;
        clock.Sleep(1);
        if (clock.Milliseconds() - startTick_ > ReplyWaitMs) {
            state_.store(TimedOut);
            break;
        }
    }
    Stop();
    return body;
}

char* DownloadText(const char* host, const char* path, std::size_t& length)
{
    HttpClient client;
    std::size_t bodyLength = 0;
    const char* body = client.GetText(host, path, bodyLength);
    length = 0;
    if (!body) return nullptr;
    auto* copy = static_cast<char*>(AllocMem(MemMainRam, bodyLength));
    if (!copy) return nullptr;
    std::memcpy(copy, body, bodyLength);
    length = bodyLength;
    return copy;
}
