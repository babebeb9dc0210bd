#include <gtest/gtest.h>

#include <chrono>

#include "stream/host_names.h"
#include "stream/socket.h"
#include "stream/stream.h"
#include "stream/stream_module.h"

namespace qrv {
namespace {

// A page has no sockets: opening a connection gives no stream at once, with the reason, instead
// of waiting for a connect or a name lookup that can never happen (the HTTP timeout is 30 s).
TEST(BrowserSockets, TcpAndHttpUrlsGiveNoStreamAtOnceWithTheReason) {
    InitStreamModule();
    EXPECT_NE(SocketsUnavailableReason().find("not available in a browser"), std::string::npos)
        << SocketsUnavailableReason();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(OpenReadStream(u"tcp::127.0.0.1:8080"), nullptr);
    EXPECT_EQ(OpenReadStream(u"tcp::localhost"), nullptr);
    EXPECT_EQ(OpenReadStream(u"http::127.0.0.1:8080/index.html"), nullptr);
    EXPECT_EQ(OpenWriteStream(u"http::example.com/"), nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST(BrowserSockets, NoSocketsOpenAndNoNamesResolve) {
    EXPECT_EQ(TSocket::NewTcpSocket(), nullptr);
    EXPECT_EQ(TSocket::NewUdpSocket(), nullptr);
    EXPECT_TRUE(HostAddresses(u"localhost").empty()) << "a made-up address would lead nowhere";
    EXPECT_TRUE(HostNameOf(0x7F000001).empty());
}

}  // namespace
}  // namespace qrv
