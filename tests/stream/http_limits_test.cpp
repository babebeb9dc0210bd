#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "core/error.h"
#include "core/text.h"
#include "loopback_server.h"
#include "stream/host_names.h"
#include "stream/http_stream.h"
#include "stream/stream_exceptions.h"
#include "stream/stream_module.h"
#include "stream/stream_utils.h"

namespace qrv {
namespace {

using namespace std::chrono_literals;
using test::LoopbackServer;
using test::ReceiveUntil;
using test::SendText;
using test::Socket;
using TClock = std::chrono::steady_clock;

// Servers that take too long or send too much. The bounds are short here and the servers would
// go on for seconds, so a test that takes long has waited for a server.
class HttpLimitsTest : public ::testing::Test {
protected:
    void SetUp() override { InitStreamModule(); }
    void TearDown() override {
        SetHttpTimeout(DEFAULT_HTTP_TIMEOUT);
        SetHttpDeadline(DEFAULT_HTTP_DEADLINE);
        SetLoadBytesLimit(DEFAULT_LOAD_BYTES_LIMIT);
    }

    static std::u16string UrlOf(const LoopbackServer& server) {
        return FromLatin1("http::127.0.0.1:" + std::to_string(server.Port()) + "/");
    }
};

// Answers with `head`, then sends one byte every 50 ms for five seconds or until the client goes.
LoopbackServer::Handler Trickling(const std::string& head) {
    return [head](Socket client) {
        ReceiveUntil(client, "\r\n\r\n");
        SendText(client, head);
        for (int i = 0; i < 100 && SendText(client, "x"); ++i) std::this_thread::sleep_for(50ms);
    };
}

// Every byte comes well within the timeout; only the deadline stops the server.
TEST_F(HttpLimitsTest, TricklingServersAreCutOffAtTheDeadline) {
    if (test::kNoLoopbackSockets) GTEST_SKIP() << test::kNoLoopbackSockets;
    SetHttpTimeout(3000);
    SetHttpDeadline(400);
    LoopbackServer slowHead(Trickling("HTTP/1.0 200 OK\r\nX-Slow: "));
    auto start = TClock::now();
    EXPECT_EQ(OpenReadStream(UrlOf(slowHead)), nullptr);
    EXPECT_LT(TClock::now() - start, 2s) << "the open outlived its deadline";

    LoopbackServer slowBody(Trickling("HTTP/1.0 200 OK\r\n\r\n"));
    start = TClock::now();
    auto stream = OpenReadStream(UrlOf(slowBody));
    ASSERT_NE(stream, nullptr);
    EXPECT_THROW(LoadBytes(*stream), TStreamReadException);
    EXPECT_LT(TClock::now() - start, 2s) << "the body outlived its deadline";
}

TEST_F(HttpLimitsTest, ABodyLoadedIntoMemoryStopsAtTheLimit) {
    if (test::kNoLoopbackSockets) GTEST_SKIP() << test::kNoLoopbackSockets;
    constexpr int kLimit = 100000;
    SetLoadBytesLimit(kLimit);
    const std::string head = "HTTP/1.0 200 OK\r\n\r\n";
    LoopbackServer endless([&head](Socket client) {
        ReceiveUntil(client, "\r\n\r\n");
        SendText(client, head);
        const std::string piece(4096, 'e');
        while (SendText(client, piece)) {
        }
    });
    auto stream = OpenReadStream(UrlOf(endless));
    ASSERT_NE(stream, nullptr);
    EXPECT_THROW(LoadBytes(*stream), TRuntimeError);
    stream->Close();

    LoopbackServer exactlyTheLimit([&head](Socket client) {
        ReceiveUntil(client, "\r\n\r\n");
        SendText(client, head + std::string(kLimit, 'x'));
    });
    EXPECT_EQ(LoadBytes(UrlOf(exactlyTheLimit)).size(), size_t{kLimit});
}

// No name server is reachable here, so a resolver that does not answer stands in for one.
TEST_F(HttpLimitsTest, AHostNameLookupThatDoesNotAnswerIsAbandoned) {
    std::promise<void> answer;
    const std::shared_future<void> answered = answer.get_future().share();
    const THostResolver platform = SetHostResolver([answered](const std::string&) {
        answered.wait_for(5s);
        return std::vector<int32_t>{0x7F000001};
    });
    SetHttpTimeout(200);
    const auto start = TClock::now();
    EXPECT_EQ(OpenReadStream(u"http::name.that.hangs/"), nullptr);
    EXPECT_LT(TClock::now() - start, 2s) << "the open waited for the resolver";
    answer.set_value();
    SetHostResolver(platform);
}

}  // namespace
}  // namespace qrv
