#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <functional>
#include <stdexcept>
#include <string>
#include <thread>

namespace qrv::test {

// The few socket calls of the test servers that differ between the platforms.
#ifdef _WIN32
using Socket = SOCKET;
constexpr Socket kNoSocket = INVALID_SOCKET;
inline void CloseServerSocket(Socket socket) { ::closesocket(socket); }
inline bool ReadableWithin(Socket socket, int millis) {
    WSAPOLLFD entry{socket, POLLRDNORM, 0};
    return ::WSAPoll(&entry, 1, millis) > 0;
}
inline void SetServerTimeouts(Socket socket, int millis) {
    const DWORD timeout = static_cast<DWORD>(millis);
    ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
}
// Winsock counts its users: each server starts it for itself and ends its own use.
struct SocketsInUse {
    SocketsInUse() {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~SocketsInUse() { ::WSACleanup(); }
};
constexpr int kNoSignal = 0;  // Winsock raises no signal for a peer that has gone
// On Windows SO_REUSEADDR would let the server take a port another program listens on.
inline void AllowRebinding(Socket) {}
#else
using Socket = int;
constexpr Socket kNoSocket = -1;
inline void CloseServerSocket(Socket socket) { ::close(socket); }
inline bool ReadableWithin(Socket socket, int millis) {
    pollfd entry{socket, POLLIN, 0};
    return ::poll(&entry, 1, millis) > 0;
}
inline void SetServerTimeouts(Socket socket, int millis) {
    const timeval timeout{millis / 1000, millis % 1000 * 1000};
    ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
}
struct SocketsInUse {};
constexpr int kNoSignal = MSG_NOSIGNAL;
inline void AllowRebinding(Socket socket) {
    const int yes = 1;
    ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}
#endif

// Why the tests that talk to a server over real sockets cannot run here, or null where they can.
#ifdef __EMSCRIPTEN__
inline constexpr const char* kNoLoopbackSockets = "a browser has no TCP/IP sockets";
#else
inline constexpr const char* kNoLoopbackSockets = nullptr;
#endif

// Every wait of the test servers is bounded, so a fault in the code under test fails a test
// instead of hanging the suite.
constexpr int kServerWaitMillis = 5000;

// A TCP server on 127.0.0.1, written on the platform's sockets directly so that it does not
// depend on the code under test. A thread accepts up to `connections` clients one after the
// other and hands each to the handler; the handler's socket times out after kServerWaitMillis.
class LoopbackServer {
public:
    using Handler = std::function<void(Socket client)>;

    explicit LoopbackServer(Handler handler, int connections = 1, int port = 0)
        : listener(::socket(AF_INET, SOCK_STREAM, 0)) {
        AllowRebinding(listener);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<uint16_t>(port));
        socklen_t length = sizeof address;
        if (listener == kNoSocket || ::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(listener, 4) != 0 ||
            ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            CloseListener();
            throw std::runtime_error("cannot listen on loopback port " + std::to_string(port));
        }
        boundPort = ntohs(address.sin_port);
        thread = std::thread([this, handler = std::move(handler), connections] {
            for (int i = 0; i < connections; ++i) {
                const Socket client = AcceptWithin(kServerWaitMillis);
                if (client == kNoSocket) return;
                SetServerTimeouts(client, kServerWaitMillis);
                handler(client);
                CloseServerSocket(client);
            }
        });
    }
    ~LoopbackServer() { Join(); }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int Port() const { return boundPort; }
    // Waits for the serving thread to end; afterwards whatever the handler recorded is safe to read.
    void Join() {
        if (thread.joinable()) thread.join();
        CloseListener();
    }
    // Whether a client connects within `millis` (for checking that none does).
    bool AcceptsWithin(int millis) {
        const Socket client = AcceptWithin(millis);
        if (client != kNoSocket) CloseServerSocket(client);
        return client != kNoSocket;
    }

private:
    Socket AcceptWithin(int millis) {
        if (!ReadableWithin(listener, millis)) return kNoSocket;
        return ::accept(listener, nullptr, nullptr);
    }
    void CloseListener() {
        if (listener != kNoSocket) CloseServerSocket(listener);
        listener = kNoSocket;
    }

    [[maybe_unused]] SocketsInUse socketsInUse;  // first: the platform's sockets must work before `listener` is made
    Socket listener;
    int boundPort = 0;
    std::thread thread;
};

// Reads until `terminator` has arrived, the peer closes or the receive times out.
inline std::string ReceiveUntil(Socket client, const std::string& terminator) {
    std::string received;
    char byte;
    while (received.find(terminator) == std::string::npos && ::recv(client, &byte, 1, 0) == 1) {
        received.push_back(byte);
    }
    return received;
}

// Waits until the peer closes (or the receive times out), dropping whatever it sends.
inline void WaitUntilClientCloses(Socket client) {
    char byte;
    while (::recv(client, &byte, 1, 0) > 0) {
    }
}

// Whether all of the text was sent; a peer that has gone makes it false, without a signal.
inline bool SendText(Socket client, const std::string& text) {
    size_t sent = 0;
    while (sent < text.size()) {
        const auto n = ::send(client, text.data() + sent, static_cast<int>(text.size() - sent), kNoSignal);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

// A loopback port on which nothing listens: bound once, then released.
inline int UnusedPort() {
    LoopbackServer probe([](Socket) {}, 0);
    return probe.Port();
}

}  // namespace qrv::test
