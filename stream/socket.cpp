#include "stream/socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>

namespace qrv {
namespace {

constexpr int32_t kMaxPort = 65535;

sockaddr_in MakeAddress(int32_t address, int32_t port) {
    sockaddr_in name{};
    name.sin_family = AF_INET;
    name.sin_addr.s_addr = htonl(static_cast<uint32_t>(address));
    name.sin_port = htons(static_cast<uint16_t>(port));
    return name;
}

// Reads a socket name into an address and a port; both 0 when the platform cannot give one.
template <class Query>
void ReadName(int32_t handle, Query query, int32_t& address, int32_t& port) {
    sockaddr_in name{};
    socklen_t length = sizeof name;
    address = 0;
    port = 0;
    if (handle < 0 || query(handle, reinterpret_cast<sockaddr*>(&name), &length) != 0) return;
    if (name.sin_family != AF_INET || length < sizeof name) return;
    address = static_cast<int32_t>(ntohl(name.sin_addr.s_addr));
    port = ntohs(name.sin_port);
}

// Whether the handle has something to read (data, an end or an error) within the timeout.
bool PollReadable(int32_t handle, int timeoutMillis) {
    pollfd entry{handle, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&entry, 1, timeoutMillis);
    } while (ready < 0 && errno == EINTR);
    return ready > 0 && (entry.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
}

Ref<TSocket> NewSocket(int type) {
    return TSocket::WrapHandle(::socket(AF_INET, type | SOCK_CLOEXEC, 0), true);
}

}  // namespace

TSocket::~TSocket() {
    Release();
}

void TSocket::Release() {
    if (handle < 0) return;
    if (autoClose) ::close(handle);
    handle = localAddress = localPort = remoteAddress = remotePort = -1;
}

int32_t TSocket::SendBytes(const void* buffer, int32_t count, int32_t flags) {
    if (handle < 0 || count <= 0) return 0;
    ssize_t sent;
    do {
        sent = ::send(handle, buffer, static_cast<size_t>(count), flags | MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    lastError = sent < 0 ? errno : 0;
    return sent > 0 ? static_cast<int32_t>(sent) : 0;
}

int32_t TSocket::ReceiveBytes(void* buffer, int32_t count, int32_t flags) {
    if (handle < 0 || count <= 0) return 0;
    ssize_t received;
    do {
        received = ::recv(handle, buffer, static_cast<size_t>(count), flags);
    } while (received < 0 && errno == EINTR);
    lastError = received < 0 ? errno : 0;
    return received > 0 ? static_cast<int32_t>(received) : 0;
}

void TSocket::CloseSocket() {
    Release();
}

bool TSocket::IsConnected() {
    if (handle < 0) return false;
    if (!PollReadable(handle, 0) || BytesAvailable() != 0) return true;
    // Readable with nothing to read: the peer has closed.
    CloseSocket();
    return false;
}

bool TSocket::BindPort(int32_t port) {
    if (handle < 0 || port < 0 || port > kMaxPort) return false;
    const sockaddr_in name = MakeAddress(INADDR_ANY, port);
    if (::bind(handle, reinterpret_cast<const sockaddr*>(&name), sizeof name) != 0) return false;
    RefreshLocalName();
    return true;
}

bool TSocket::ConnectTo(int32_t address, int32_t port) {
    // A port beyond 16 bits would silently connect to another one.
    if (handle < 0 || port < 0 || port > kMaxPort) return false;
    const sockaddr_in name = MakeAddress(address, port);
    if (::connect(handle, reinterpret_cast<const sockaddr*>(&name), sizeof name) != 0) return false;
    RefreshLocalName();
    RefreshRemoteName();
    return true;
}

bool TSocket::StartListening(int32_t backlog) {
    return handle >= 0 && ::listen(handle, backlog) == 0;
}

Ref<TSocket> TSocket::AcceptClient(int32_t timeoutMillis) {
    if (!WaitReadable(timeoutMillis)) return nullptr;
    const int client = ::accept4(handle, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) return nullptr;
    return WrapHandle(client, true);
}

int32_t TSocket::BytesAvailable() {
    int available = 0;
    if (handle < 0 || ::ioctl(handle, FIONREAD, &available) != 0) return 0;
    return available;
}

bool TSocket::SetNoDelay(bool noDelay) {
    const int value = noDelay ? 1 : 0;
    return handle >= 0 && ::setsockopt(handle, IPPROTO_TCP, TCP_NODELAY, &value, sizeof value) == 0;
}

bool TSocket::WaitReadable(int32_t timeoutMillis) {
    return handle >= 0 && PollReadable(handle, timeoutMillis < 0 ? -1 : timeoutMillis);
}

bool TSocket::SetTimeout(int32_t millis) {
    if (handle < 0 || millis < 0) return false;
    const timeval timeout{millis / 1000, static_cast<suseconds_t>(millis % 1000 * 1000)};
    return ::setsockopt(handle, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout) == 0 &&
           ::setsockopt(handle, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout) == 0;
}

int32_t TSocket::TakePendingError() {
    int error = 0;
    socklen_t length = sizeof error;
    if (handle < 0 || ::getsockopt(handle, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return 0;
    return error;
}

void TSocket::RefreshLocalName() {
    ReadName(handle, ::getsockname, localAddress, localPort);
}

void TSocket::RefreshRemoteName() {
    ReadName(handle, ::getpeername, remoteAddress, remotePort);
}

Ref<TSocket> TSocket::WrapHandle(int32_t handle, bool autoClose) {
    if (handle < 0) return nullptr;
    Ref<TSocket> socket(new TSocket(handle, autoClose));
    socket->RefreshLocalName();
    socket->RefreshRemoteName();
    return socket;
}

Ref<TSocket> TSocket::NewUdpSocket() {
    return NewSocket(SOCK_DGRAM);
}

Ref<TSocket> TSocket::NewTcpSocket() {
    return NewSocket(SOCK_STREAM);
}

}  // namespace qrv
