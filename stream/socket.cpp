#include "stream/socket.h"

#include "stream/socket_headers.h"
#include "stream/socket_platform.h"

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
    if (name.sin_family != AF_INET || length < static_cast<socklen_t>(sizeof name)) return;
    address = static_cast<int32_t>(ntohl(name.sin_addr.s_addr));
    port = ntohs(name.sin_port);
}

Ref<TSocket> NewSocket(bool stream) {
    platform::StartSockets();
    return TSocket::WrapHandle(platform::OpenSocket(stream), true);
}

}  // namespace

TSocket::~TSocket() {
    Release();
}

void TSocket::Release() {
    if (handle < 0) return;
    if (autoClose) platform::CloseSocketHandle(handle);
    handle = localAddress = localPort = remoteAddress = remotePort = -1;
}

int32_t TSocket::SendBytes(const void* buffer, int32_t count, int32_t flags) {
    if (handle < 0 || count <= 0) return 0;
    const int32_t sent = platform::SendOn(handle, buffer, count, flags, lastError);
    return sent > 0 ? sent : 0;
}

int32_t TSocket::ReceiveBytes(void* buffer, int32_t count, int32_t flags) {
    if (handle < 0 || count <= 0) return 0;
    const int32_t received = platform::ReceiveOn(handle, buffer, count, flags, lastError);
    return received > 0 ? received : 0;
}

void TSocket::CloseSocket() {
    Release();
}

bool TSocket::IsConnected() {
    if (handle < 0) return false;
    if (!platform::PollReadable(handle, 0) || BytesAvailable() != 0) return true;
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
    if (!platform::ConnectSocket(handle, MakeAddress(address, port))) return false;
    RefreshLocalName();
    RefreshRemoteName();
    return true;
}

bool TSocket::StartListening(int32_t backlog) {
    return handle >= 0 && ::listen(handle, backlog) == 0;
}

Ref<TSocket> TSocket::AcceptClient(int32_t timeoutMillis) {
    if (!WaitReadable(timeoutMillis)) return nullptr;
    return WrapHandle(platform::AcceptConnection(handle), true);
}

int32_t TSocket::BytesAvailable() {
    return handle >= 0 ? platform::ReadableBytes(handle) : 0;
}

bool TSocket::SetNoDelay(bool noDelay) {
    const int value = noDelay ? 1 : 0;
    const auto* option = reinterpret_cast<const char*>(&value);
    return handle >= 0 && ::setsockopt(handle, IPPROTO_TCP, TCP_NODELAY, option, sizeof value) == 0;
}

bool TSocket::WaitReadable(int32_t timeoutMillis) {
    return handle >= 0 && platform::PollReadable(handle, timeoutMillis < 0 ? -1 : timeoutMillis);
}

bool TSocket::SetTimeout(int32_t millis) {
    return handle >= 0 && millis >= 0 && platform::SetTransferTimeout(handle, millis);
}

int32_t TSocket::TakePendingError() {
    return handle >= 0 ? platform::TakePendingError(handle) : 0;
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

std::string SocketsUnavailableReason() {
    const char* reason = platform::NoSocketsReason();
    return reason ? reason : "";
}

Ref<TSocket> TSocket::NewUdpSocket() {
    return NewSocket(false);
}

Ref<TSocket> TSocket::NewTcpSocket() {
    return NewSocket(true);
}

}  // namespace qrv
