#include "stream/http_stream.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

#include "core/text.h"
#include "loopback_server.h"
#include "stream/stream_exceptions.h"
#include "stream/stream_module.h"
#include "stream/stream_utils.h"

namespace qrv {
namespace {

using test::LoopbackServer;
using test::ReceiveUntil;
using test::SendText;
using test::Socket;
using test::WaitUntilClientCloses;

// A tiny HTTP/1.0 server: it records each request head and answers with a fixed response,
// then closes the connection as HTTP/1.0 does.
class HttpServer {
public:
    explicit HttpServer(std::vector<std::string> responses)
        : responses(std::move(responses)),
          server([this](Socket client) { Serve(client); }, static_cast<int>(this->responses.size())) {}

    std::u16string Url(const std::string& rest = "") const {
        return FromLatin1("http::127.0.0.1:" + std::to_string(server.Port()) + rest);
    }
    std::string HostLine() const { return "Host: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n"; }
    // The request heads, once every connection has been served.
    const std::vector<std::string>& Requests() {
        server.Join();
        return requests;
    }

private:
    void Serve(Socket client) {
        requests.push_back(ReceiveUntil(client, "\r\n\r\n"));
        SendText(client, responses[requests.size() - 1]);
    }

    std::vector<std::string> responses;
    std::vector<std::string> requests;
    LoopbackServer server;
};

std::string Body(TStream& stream) {
    const std::vector<uint8_t> bytes = LoadBytes(stream);
    return std::string(bytes.begin(), bytes.end());
}

class HttpStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (test::kNoLoopbackSockets) GTEST_SKIP() << test::kNoLoopbackSockets;
        InitStreamModule();
    }
};

TEST_F(HttpStreamTest, GetsThePathAndStartsAtTheBody) {
    HttpServer server({"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nline one\nxy"});
    auto stream = OpenReadStream(server.Url("/dir/file.txt?q=1"));
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->ReadTextLine(), u"line one");
    EXPECT_EQ(stream->ReadChars(1), u"x");
    stream->Close();
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0], "GET /dir/file.txt?q=1 HTTP/1.0\r\n" + server.HostLine() + "\r\n");
}

TEST_F(HttpStreamTest, WithoutASlashTheRootIsRequested) {
    HttpServer server({"HTTP/1.0 200 OK\n\nroot page"});
    auto stream = OpenReadStream(server.Url());
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(Body(*stream), "root page") << "LF alone also ends the head";
    EXPECT_EQ(server.Requests()[0].substr(0, 20), "GET / HTTP/1.0\r\nHost");
}

TEST_F(HttpStreamTest, StatusIsNotExaminedAndRedirectsAreNotFollowed) {
    HttpServer server({"HTTP/1.0 404 Not Found\r\nServer: test\r\n\r\nno such page",
                       "HTTP/1.0 302 Found\r\nLocation: http://127.0.0.1/elsewhere\r\n\r\nmoved"});
    auto missing = OpenReadStream(server.Url("/missing"));
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(Body(*missing), "no such page");
    auto moved = OpenReadStream(server.Url("/old"));
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(Body(*moved), "moved");
    EXPECT_EQ(server.Requests().size(), 2u) << "no third request for the redirect";
}

TEST_F(HttpStreamTest, HeadWithoutItsEmptyLineLeavesTheStreamAtItsEnd) {
    HttpServer server({"HTTP/1.0 200 OK\r\nX-Truncated: yes\r\n", ""});
    auto truncated = OpenReadStream(server.Url("/a"));
    ASSERT_NE(truncated, nullptr);
    EXPECT_TRUE(truncated->AtEnd());
    auto silent = OpenReadStream(server.Url("/b"));
    ASSERT_NE(silent, nullptr) << "a server that answers nothing still gives a stream";
    EXPECT_TRUE(silent->AtEnd());
}

TEST_F(HttpStreamTest, UrlsThatCannotBeRequestedGiveNoStream) {
    EXPECT_EQ(OpenReadStream(FromLatin1("http::127.0.0.1:" + std::to_string(test::UnusedPort()) + "/")),
              nullptr)
        << "refused";
    EXPECT_EQ(OpenReadStream(u"http::/just/a/path"), nullptr) << "no host";

    LoopbackServer listener([](Socket) {}, 0);
    const std::string host = "http::127.0.0.1:" + std::to_string(listener.Port());
    EXPECT_EQ(OpenReadStream(FromLatin1(host + "/a\r\nX-Injected: 1")), nullptr);
    EXPECT_EQ(OpenReadStream(FromLatin1(host) + u"/\u0416"), nullptr);
    EXPECT_EQ(OpenReadStream(u"http::127.0.0.1 :80/"), nullptr);
    EXPECT_EQ(OpenReadStream(FromLatin1(host + "/a b")), nullptr) << "a space would split the request line";
    EXPECT_FALSE(listener.AcceptsWithin(50)) << "nothing was sent for them";
}

// Port 80 needs privileges; the test is skipped where it cannot be had.
TEST_F(HttpStreamTest, UrlsWithoutAPortUsePort80) {
    int served = 0;
    std::string request;
    const auto serve = [&](Socket client) {
        if (served++ == 0) {
            SendText(client, "plain tcp");
            return;
        }
        request = ReceiveUntil(client, "\r\n\r\n");
        SendText(client, "HTTP/1.0 200 OK\r\n\r\nweb");
    };
    std::unique_ptr<LoopbackServer> server;
    try {
        server = std::make_unique<LoopbackServer>(serve, 2, 80);
    } catch (const std::exception&) {
        GTEST_SKIP() << "port 80 is not available here";
    }
    auto tcp = OpenReadStream(u"tcp::127.0.0.1");
    ASSERT_NE(tcp, nullptr);
    EXPECT_EQ(Body(*tcp), "plain tcp");
    auto http = OpenReadStream(u"http::localhost/index.html");
    ASSERT_NE(http, nullptr);
    EXPECT_EQ(Body(*http), "web");
    server->Join();
    EXPECT_EQ(request, "GET /index.html HTTP/1.0\r\nHost: localhost\r\n\r\n");
}

// Hostile and failing servers. The open's deadline is short here; each server would otherwise
// go on for its own bound of several seconds, so a test that takes long has waited for it.
class HttpFailureTest : public HttpStreamTest {
protected:
    void SetUp() override {
        HttpStreamTest::SetUp();
        SetHttpTimeout(300);
    }
    void TearDown() override { SetHttpTimeout(30000); }

    static std::u16string UrlOf(const LoopbackServer& server) {
        return FromLatin1("http::127.0.0.1:" + std::to_string(server.Port()) + "/");
    }
    // Whether opening the server's URL gives no stream, within well under the server's bound.
    static bool GivesNoStreamQuickly(const LoopbackServer& server) {
        const auto start = std::chrono::steady_clock::now();
        auto stream = OpenReadStream(UrlOf(server));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        return stream == nullptr;
    }
};

// Sends `piece` again and again until the client goes away.
void SendForever(Socket client, const std::string& piece) {
    while (SendText(client, piece)) {
    }
}

// Closing the socket after this sends a reset instead of an orderly end.
void ResetOnClose(Socket client) {
    const linger abort{1, 0};
    ::setsockopt(client, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
}

TEST_F(HttpFailureTest, HeadsPastTheirBoundsGiveNoStream) {
    LoopbackServer endlessLine([](Socket client) {
        ReceiveUntil(client, "\r\n\r\n");
        SendText(client, "HTTP/1.0 200 OK\r\nX-Endless: ");
        SendForever(client, std::string(4096, 'a'));
    });
    EXPECT_TRUE(GivesNoStreamQuickly(endlessLine));
    LoopbackServer endlessLines([](Socket client) {
        ReceiveUntil(client, "\r\n\r\n");
        SendText(client, "HTTP/1.0 200 OK\r\n");
        SendForever(client, "X-More: yes\r\n");
    });
    EXPECT_TRUE(GivesNoStreamQuickly(endlessLines));
}

TEST_F(HttpFailureTest, SilentOrStallingServersGiveNoStreamAtTheDeadline) {
    LoopbackServer silent([](Socket client) { WaitUntilClientCloses(client); });
    EXPECT_TRUE(GivesNoStreamQuickly(silent));
    LoopbackServer stalling([](Socket client) {
        ReceiveUntil(client, "\r\n\r\n");
        SendText(client, "HTTP/1.0 200 OK\r\nServer: slow\r\n");
        WaitUntilClientCloses(client);
    });
    EXPECT_TRUE(GivesNoStreamQuickly(stalling));
}

TEST_F(HttpFailureTest, ResetBeforeTheHeadEndsGivesNoStream) {
    LoopbackServer atAccept([](Socket client) { ResetOnClose(client); });
    EXPECT_TRUE(GivesNoStreamQuickly(atAccept));
    LoopbackServer inTheHead([](Socket client) {
        ReceiveUntil(client, "\r\n\r\n");
        SendText(client, "HTTP/1.0 200 OK\r\n");
        ResetOnClose(client);
    });
    EXPECT_TRUE(GivesNoStreamQuickly(inTheHead));
}

TEST_F(HttpFailureTest, TruncatedBodiesAreReadErrors) {
    const auto resetAfter30000 = [](const std::string& head) {
        return [head](Socket client) {
            ReceiveUntil(client, "\r\n\r\n");
            SendText(client, head + std::string(30000, 'b'));
            ResetOnClose(client);
        };
    };
    for (const char* head : {"HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n", "HTTP/1.0 200 OK\r\n\r\n"}) {
        LoopbackServer reset(resetAfter30000(head));
        auto stream = OpenReadStream(UrlOf(reset));
        ASSERT_NE(stream, nullptr);
        EXPECT_THROW(LoadBytes(*stream), TStreamReadException) << head;
    }

    LoopbackServer shortBody([](Socket client) {
        ReceiveUntil(client, "\r\n\r\n");
        SendText(client, "HTTP/1.0 200 OK\r\nContent-length:  12\r\n\r\nonly five");
    });
    auto stream = OpenReadStream(UrlOf(shortBody));
    ASSERT_NE(stream, nullptr);
    std::string received(12, '\0');
    EXPECT_THROW(stream->ReadFully(received.data(), 12), TStreamReadException);
    EXPECT_THROW(stream->ReadUInt8(), TStreamReadException) << "the failure is not forgotten";
}

TEST_F(HttpFailureTest, ABodyEndsAfterItsContentLength) {
    LoopbackServer keepsOpen([](Socket client) {
        ReceiveUntil(client, "\r\n\r\n");
        SendText(client, "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello and more");
        WaitUntilClientCloses(client);
    });
    auto stream = OpenReadStream(UrlOf(keepsOpen));
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(Body(*stream), "hello");
    EXPECT_TRUE(stream->AtEnd());
    stream->Close();
}

}  // namespace
}  // namespace qrv
