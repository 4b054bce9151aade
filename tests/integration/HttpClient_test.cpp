// The HTTP client against the stand-in update server on the loopback.
#include "support/Doubles.h"
#include "support/SimProcess.h"
#include "unit/ExecRuntime.h"
#include "exec/Memory.h"
#include "update/HttpClient.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

long Threads()
{
    long count = 0;
    for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task")) ++count;
    return count;
}

class HttpTest : public ExecRuntime {
protected:
    HttpTest()
    {
        Start(0x2);
        dir.Write("vt_servers.ini", "[UPDATE]\r\nVERSION = 0,0,0,21\r\n");
        std::string big(200000, 'x');
        for (std::size_t i = 0; i < big.size(); i += 97) big[i] = static_cast<char>('0' + i % 10);
        dir.Write("big.hex", big);
        std::filesystem::create_directory(dir.path() / "fw");
        dir.Write("fw/empty.hex", "");
        client = std::make_unique<HttpClient>(); // its reply buffer comes from the runtime's memory
    }

    // The body ("<none>" when nothing came), with no worker thread left behind.
    std::string Get(const std::string& host, const std::string& path, long* ms = nullptr)
    {
        const long threads = Threads();
        const auto start = Clock::now();
        std::size_t length = 99;
        const char* body = client->GetText(host.c_str(), path.c_str(), length);
        if (ms) *ms = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
        EXPECT_NE(client->CurrentState(), HttpClient::Receiving);
        EXPECT_EQ(Threads(), threads) << "a worker outlived the request";
        if (body) return std::string(body, length);
        EXPECT_EQ(length, 0u);
        return "<none>";
    }

    std::unique_ptr<HttpClient> client;
};

TEST_F(HttpTest, RequestCarriesTheAbsoluteUrlAndTheBodyComesWhole)
{
    UpdateServer server(dir.path(), "normal");
    const std::pair<const char*, std::string> cases[] = {
        {"vt_servers.ini", dir.Read("vt_servers.ini")},
        {"big.hex", dir.Read("big.hex")},
        {"fw/empty.hex", ""},
    };
    for (const auto& [path, body] : cases) {
        SCOPED_TRACE(path);
        const std::string got = Get(server.Host(), path);
        EXPECT_TRUE(got == body) << got.size() << " bytes instead of " << body.size();
    }
    ASSERT_TRUE(WaitUntil([&] { return server.LogLinesWith("").size() == 3; }));
    EXPECT_NE(server.LogLinesWith("")[2].find("\"request\":\"GET http://" + server.Host() +
                                              "/fw/empty.hex HTTP/1.0\\r\\nUser-Agent:CustomClient/1.0\\r\\n\\r\\n\""),
              std::string::npos);
}

TEST_F(HttpTest, BadRepliesEndInTime)
{
    const struct {
        const char* mode;
        const char* path;
        std::string body;
        long minimumMs;
    } cases[] = {
        {"no-marker", "vt_servers.ini", "<none>", 1900}, // answered at once, waited for all the same
        {"empty", "vt_servers.ini", "", 0},
        {"chunks", "big.hex", dir.Read("big.hex"), 0},
        {"one-chunk", "big.hex", dir.Read("big.hex"), 0},
        {"drip", "vt_servers.ini", "<none>", 1900},
        {"hang", "vt_servers.ini", "<none>", 1900},
        {"reset", "big.hex", "<none>", 0},
        {"404", "vt_servers.ini", "<none>", 0},
        {"normal", "missing.ini", "<none>", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        UpdateServer server(dir.path(), c.mode);
        long ms = 0;
        const std::string got = Get(server.Host(), c.path, &ms);
        EXPECT_TRUE(got == c.body) << got.substr(0, 40) << ": " << got.size() << " bytes instead of " << c.body.size();
        EXPECT_GE(ms, c.minimumMs);
        EXPECT_LT(ms, 2500);
    }
}

TEST_F(HttpTest, FailuresBeforeTheRequestComeAtOnce)
{
    const std::pair<std::string, const char*> cases[] = {
        {"updates.vantor.invalid", "Host was not found."},
        {"127.0.0.1:99999", "Host was not found."},
        {"127.0.0.1:", "Host was not found."},
        {"127.0.0.1:1", "Could not connect to server"},
        {std::string(250, 'h'), "Host or URL string is too long."},
    };
    for (const auto& [host, failure] : cases) {
        SCOPED_TRACE(host);
        long ms = 0;
        EXPECT_EQ(Get(host, "vt_servers.ini", &ms), "<none>");
        EXPECT_EQ(client->CurrentState(), HttpClient::Failed);
        EXPECT_STREQ(client->Failure(), failure);
        EXPECT_LT(ms, 1000);
    }
}

TEST_F(HttpTest, DownloadTextCopiesTheBodyIntoABlockOfItsLengthAndRefusesAnOverlongReply)
{
    dir.Write("huge.hex", std::string(1u << 20, 'x')); // a MiB of body and the headers: above the limit
    UpdateServer server(dir.path(), "normal");
    EXPECT_EQ(Get(server.Host(), "huge.hex"), "<none>");
    EXPECT_STREQ(client->Failure(), "Server response is too long");
    std::size_t length = 0;
    char* text = DownloadText(server.Host().c_str(), "vt_servers.ini", length);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text, length), dir.Read("vt_servers.ini"));
    FreeMem(text);
    EXPECT_EQ(DownloadText(server.Host().c_str(), "missing.ini", length), nullptr);
    EXPECT_EQ(length, 0u);
}

} // namespace
