#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <thread>

namespace qrv::test {

// Every wait of the test servers is bounded, so a fault in the code under test fails a test
// instead of hanging the suite.
constexpr int kServerWaitMillis = 5000;

// A TCP server on 127.0.0.1, written on the platform's sockets directly so that it does not
// depend on the code under test. A thread accepts up to `connections` clients one after the
// other and hands each to the handler; the handler's socket times out after kServerWaitMillis.
class LoopbackServer {
public:
    using Handler = std::function<void(int client)>;

    explicit LoopbackServer(Handler handler, int connections = 1, int port = 0)
        : listener(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        const int yes = 1;
        ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<uint16_t>(port));
        socklen_t length = sizeof address;
        if (::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(listener, 4) != 0 ||
            ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            ::close(listener);
            throw std::runtime_error("cannot listen on loopback port " + std::to_string(port));
        }
        boundPort = ntohs(address.sin_port);
        thread = std::thread([this, handler = std::move(handler), connections] {
            for (int i = 0; i < connections; ++i) {
                const int client = AcceptWithin(kServerWaitMillis);
                if (client < 0) return;
                const timeval timeout{kServerWaitMillis / 1000, 0};
                ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
                ::setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
                handler(client);
                ::close(client);
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
        if (listener >= 0) ::close(listener);
        listener = -1;
    }
    // Whether a client connects within `millis` (for checking that none does).
    bool AcceptsWithin(int millis) {
        const int client = AcceptWithin(millis);
        if (client >= 0) ::close(client);
        return client >= 0;
    }

private:
    int AcceptWithin(int millis) {
        pollfd entry{listener, POLLIN, 0};
        if (::poll(&entry, 1, millis) <= 0) return -1;
        return ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    }

    int listener;
    int boundPort = 0;
    std::thread thread;
};

// Reads until `terminator` has arrived, the peer closes or the receive times out.
inline std::string ReceiveUntil(int client, const std::string& terminator) {
    std::string received;
    char byte;
    while (received.find(terminator) == std::string::npos && ::recv(client, &byte, 1, 0) == 1) {
        received.push_back(byte);
    }
    return received;
}

inline void SendText(int client, const std::string& text) {
    size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t n = ::send(client, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += static_cast<size_t>(n);
    }
}

// A loopback port on which nothing listens: bound once, then released.
inline int UnusedPort() {
    LoopbackServer probe([](int) {}, 0);
    return probe.Port();
}

}  // namespace qrv::test
