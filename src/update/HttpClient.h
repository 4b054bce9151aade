#pragma once

#include "platform/TcpSocket.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <thread>

// A minimal HTTP/1.0 client: one GET, whose reply a worker thread receives
// until the server closes the connection while the caller waits at most
// two seconds for it. The worker never outlives the request: when the wait
// ends it is told to stop and joined before the call returns.
class HttpClient {
public:
    enum State : int { Receiving = 0, Done = 1, Failed = 2, TimedOut = 4 };

    HttpClient();
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // GETs http://host/path; host may carry ":port" (80 otherwise). Returns
    // the body behind the reply's "text/plain\r\n\r\n", inside the client,
    // with its length; nullptr when none came.
    const char* GetText(const char* host, const char* path, std::size_t& length);

    State CurrentState() const { return static_cast<State>(state_.load()); }
    // What made the last request fail ("" when nothing failed).
    const char* Failure() const { return failure_; }

    // The reply kept in memory at most; a longer one fails.
    static constexpr std::size_t ReplyLimit = 1u << 20;

private:
    bool Send(const char* host, const char* path);
    void Fail(const char* text);
    void Receive();
    void Stop();
    const char* Body(std::size_t& length) const;

    bool socketsStarted_ = false;
    TcpHandle socket_ = NoSocket;
    char* reply_ = nullptr;           // ReplyLimit + 1 bytes from the memory manager
    std::size_t received_ = 0;        // written by the worker, read after it ended
    std::atomic<int> state_{Done};
    std::thread worker_;
    uint64_t startTick_ = 0;
    const char* failure_ = "";
};

// GETs http://host/path and returns the body in a new block of exactly its
// length from the memory manager, which the caller frees (FreeMem); nullptr
// and length 0 when nothing came.
char* DownloadText(const char* host, const char* path, std::size_t& length);
