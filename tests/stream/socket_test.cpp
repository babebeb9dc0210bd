#include "stream/socket.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/text.h"
#include "loopback_server.h"
#include "stream/host_names.h"
#include "stream/socket_stream.h"
#include "stream/stream_module.h"

namespace qrv {
namespace {

using test::LoopbackServer;
using test::ReceiveUntil;
using test::SendText;

constexpr int32_t kLoopback = 0x7F000001;
constexpr int32_t kWaitMillis = 5000;

// Polls `condition` until it holds or the bounded wait is over.
template <class Condition>
bool Eventually(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMillis);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// A listening socket of the code under test and one connected pair through it.
struct ConnectedPair {
    ConnectedPair() {
        listener = TSocket::NewTcpSocket();
        EXPECT_TRUE(listener->BindPort(0));
        EXPECT_TRUE(listener->StartListening(1));
        client = TSocket::NewTcpSocket();
        EXPECT_TRUE(client->ConnectTo(kLoopback, listener->LocalPortNumber()));
        server = listener->AcceptClient(kWaitMillis);
        EXPECT_NE(server, nullptr);
    }
    Ref<TSocket> listener, client, server;
};

TEST(HostNames, DottedAddressesAndLookups) {
    if (test::kNoLoopbackSockets) GTEST_SKIP() << test::kNoLoopbackSockets;
    EXPECT_EQ(DottedAddress(kLoopback), u"127.0.0.1");
    EXPECT_EQ(DottedAddress(static_cast<int32_t>(0xC0A800FFu)), u"192.168.0.255");
    EXPECT_EQ(HostAddresses(u"127.0.0.1"), std::vector<int32_t>{kLoopback});
    EXPECT_EQ(HostAddress(u"10.1.2.3", 0), 0x0A010203);
    EXPECT_EQ(HostAddress(u"localhost", 0), kLoopback);
    EXPECT_EQ(HostAddress(u"127.0.0.1", 1), 0);
    EXPECT_EQ(HostAddress(u"127.0.0.1", -1), 0);
    EXPECT_TRUE(HostAddresses(u"").empty());
    EXPECT_TRUE(HostAddresses(std::u16string(u"127.0.0.1\0evil", 14)).empty());

    const std::u16string name = HostNameOf(kLoopback);
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(HostAddress(name, 0), kLoopback) << "the reverse name resolves back";
}

TEST(Socket, ConnectedPairKnowsBothEndsAndExchangesBytes) {
    if (test::kNoLoopbackSockets) GTEST_SKIP() << test::kNoLoopbackSockets;
    ConnectedPair pair;
    ASSERT_NE(pair.server, nullptr);
    EXPECT_EQ(pair.client->RemoteAddress(), kLoopback);
    EXPECT_EQ(pair.client->RemotePortNumber(), pair.listener->LocalPortNumber());
    EXPECT_EQ(pair.server->RemotePortNumber(), pair.client->LocalPortNumber());
    EXPECT_EQ(pair.server->LocalAddress(), kLoopback);
    EXPECT_TRUE(pair.client->SetNoDelay(true));

    EXPECT_TRUE(pair.server->IsConnected()) << "nothing to read yet, still connected";
    EXPECT_EQ(pair.client->SendBytes("hello", 5, 0), 5);
    ASSERT_TRUE(Eventually([&] { return pair.server->BytesAvailable() == 5; }));
    char buffer[8] = {};
    EXPECT_EQ(pair.server->ReceiveBytes(buffer, 8, 0), 5);
    EXPECT_STREQ(buffer, "hello");
    EXPECT_EQ(pair.server->SendBytes("x", 0, 0), 0);
    EXPECT_EQ(pair.server->ReceiveBytes(buffer, -1, 0), 0);
}

TEST(Socket, PeerClosingIsSeenAndClosesTheSocket) {
    if (test::kNoLoopbackSockets) GTEST_SKIP() << test::kNoLoopbackSockets;
    ConnectedPair pair;
    ASSERT_NE(pair.server, nullptr);
    EXPECT_EQ(pair.client->SendBytes("z", 1, 0), 1);
    pair.client->CloseSocket();
    ASSERT_TRUE(Eventually([&] { return pair.server->BytesAvailable() == 1; }));
    EXPECT_TRUE(pair.server->IsConnected()) << "unread data keeps it connected";
    char byte = 0;
    EXPECT_EQ(pair.server->ReceiveBytes(&byte, 1, 0), 1);
    EXPECT_FALSE(pair.server->IsConnected());
    EXPECT_EQ(pair.server->Handle(), -1);
}

TEST(Socket, SendingToAVanishedPeerFailsWithoutASignal) {
    if (test::kNoLoopbackSockets) GTEST_SKIP() << test::kNoLoopbackSockets;
    ConnectedPair pair;
    ASSERT_NE(pair.server, nullptr);
    pair.server->CloseSocket();
    // The first sends may still be accepted until the peer's reset arrives.
    EXPECT_TRUE(Eventually([&] { return pair.client->SendBytes("data", 4, 0) == 0; }));
}

TEST(Socket, ClosingTwiceAndFailuresReportedByResults) {
    if (test::kNoLoopbackSockets) GTEST_SKIP() << test::kNoLoopbackSockets;
    auto socket = TSocket::NewTcpSocket();
    ASSERT_NE(socket, nullptr);
    EXPECT_GE(socket->Handle(), 0);
    socket->CloseSocket();
    EXPECT_EQ(socket->Handle(), -1);
    EXPECT_EQ(socket->LocalAddress(), -1);
    EXPECT_EQ(socket->RemotePortNumber(), -1);
    socket->CloseSocket();
    EXPECT_EQ(socket->Handle(), -1);
    EXPECT_FALSE(socket->IsConnected());
    EXPECT_FALSE(socket->BindPort(0));
    EXPECT_EQ(socket->SendBytes("x", 1, 0), 0);

    EXPECT_EQ(TSocket::WrapHandle(-1, true), nullptr);
    auto udp = TSocket::NewUdpSocket();
    ASSERT_NE(udp, nullptr);
    EXPECT_FALSE(udp->SetNoDelay(true)) << "no TCP option on a datagram socket";

    auto tcp = TSocket::NewTcpSocket();
    EXPECT_FALSE(tcp->ConnectTo(kLoopback, test::UnusedPort())) << "refused";
    EXPECT_FALSE(tcp->ConnectTo(kLoopback, 65536 + 80)) << "not a port";
    EXPECT_FALSE(tcp->BindPort(-1));
}

// The platform handle is released by closing only when the socket owns it.
TEST(Socket, ClosingReleasesTheHandleOnlyWhenAutoClosing) {
    if (test::kNoLoopbackSockets) GTEST_SKIP() << test::kNoLoopbackSockets;
    const auto IsOpen = [](int32_t handle) {
        int type = 0;
        socklen_t length = sizeof type;
        return ::getsockopt(static_cast<test::Socket>(handle), SOL_SOCKET, SO_TYPE,
                            reinterpret_cast<char*>(&type), &length) == 0;
    };
    auto owner = TSocket::NewTcpSocket();
    ASSERT_NE(owner, nullptr);
    const int32_t handle = owner->Handle();
    TSocket::WrapHandle(handle, false)->CloseSocket();
    EXPECT_TRUE(IsOpen(handle)) << "a wrapper that does not own the handle left it open";
    owner->CloseSocket();
    EXPECT_FALSE(IsOpen(handle)) << "the owner closed it";
}

TEST(Socket, AcceptGivesUpAfterItsTimeout) {
    if (test::kNoLoopbackSockets) GTEST_SKIP() << test::kNoLoopbackSockets;
    auto listener = TSocket::NewTcpSocket();
    ASSERT_TRUE(listener->BindPort(0));
    EXPECT_NE(listener->LocalPortNumber(), 0);
    ASSERT_TRUE(listener->StartListening(1));
    EXPECT_EQ(listener->AcceptClient(20), nullptr);
}

class SocketStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (test::kNoLoopbackSockets) GTEST_SKIP() << test::kNoLoopbackSockets;
        InitStreamModule();
    }
};

TEST_F(SocketStreamTest, TcpUrlTalksToAServerUntilItCloses) {
    std::string request;
    LoopbackServer server([&](test::Socket client) {
        request = ReceiveUntil(client, "\r\n");
        SendText(client, "first\r\nsecond\n");
    });
    auto stream = OpenUrl(u"TCP::127.0.0.1:" + FromLatin1(std::to_string(server.Port())), true, true);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->Position(), -1) << "not seekable";
    EXPECT_FALSE(stream->AtEnd());
    EXPECT_TRUE(stream->WriteTextLine(u"question"));
    EXPECT_EQ(stream->ReadTextLine(), u"first");
    EXPECT_EQ(stream->ReadTextLine(), u"second");
    server.Join();
    EXPECT_EQ(request, "question\r\n");

    EXPECT_TRUE(stream->AtEnd()) << "the server has closed";
    auto socketStream = std::dynamic_pointer_cast<TSocketStream>(stream);
    ASSERT_NE(socketStream, nullptr);
    EXPECT_EQ(socketStream->SocketOf(), nullptr) << "finding the end closed the stream";
    char byte;
    EXPECT_EQ(stream->Read(&byte, 1), 0);
    EXPECT_EQ(stream->Write("x", 1), 0);
}

TEST_F(SocketStreamTest, ClosingKeepsOrClosesTheSocketAsAsked) {
    ConnectedPair pair;
    ASSERT_NE(pair.server, nullptr);
    auto keeping = TSocketStream::OverSocket(pair.client, false);
    keeping->Close();
    EXPECT_EQ(keeping->SocketOf(), nullptr);
    EXPECT_GE(pair.client->Handle(), 0);

    auto closing = TSocketStream::OverSocket(pair.client, true);
    closing->Close();
    EXPECT_EQ(pair.client->Handle(), -1);
    closing->Close();
}

// Where a connect is bounded by waiting without blocking, the socket must block again afterwards.
TEST_F(SocketStreamTest, AConnectWithATimeoutLeavesTheSocketBlocking) {
    LoopbackServer server([](test::Socket client) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        SendText(client, "late");
    });
    auto stream = TSocketStream::ConnectClient(u"127.0.0.1", server.Port(), kWaitMillis);
    ASSERT_NE(stream, nullptr);
    char received[4] = {};
    stream->ReadFully(received, 4);
    EXPECT_EQ(std::string(received, 4), "late");
}

TEST_F(SocketStreamTest, BadTcpUrlsGiveNoStream) {
    const std::u16string port = FromLatin1(std::to_string(test::UnusedPort()));
    EXPECT_EQ(OpenUrl(u"tcp::127.0.0.1:" + port, true, true), nullptr) << "refused";
    EXPECT_EQ(OpenUrl(u"tcp::127.0.0.1:http", true, true), nullptr) << "port 0";
    EXPECT_EQ(OpenUrl(u"tcp::127.0.0.1:65616", true, true), nullptr) << "beyond 16 bits";
    EXPECT_EQ(OpenUrl(u"tcp::", true, true), nullptr) << "no host";
    EXPECT_EQ(TSocketStream::ConnectClient(u"", 80), nullptr);
}

}  // namespace
}  // namespace qrv
