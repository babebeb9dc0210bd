#include <climits>
#include <cstdlib>

#include "stream/socket_headers.h"
#include "stream/socket_platform.h"

namespace qrv::platform {
namespace {

SOCKET Native(int32_t handle) {
    return static_cast<SOCKET>(static_cast<intptr_t>(handle));
}

// Keeps a socket from being inherited by child processes; gives its handle, -1 for none.
int32_t Uninherited(SOCKET socket) {
    if (socket == INVALID_SOCKET) return -1;
    ::SetHandleInformation(reinterpret_cast<HANDLE>(socket), HANDLE_FLAG_INHERIT, 0);
    return static_cast<int32_t>(socket);
}

bool SetBlocking(SOCKET socket, bool blocking) {
    u_long nonBlocking = blocking ? 0 : 1;
    return ::ioctlsocket(socket, FIONBIO, &nonBlocking) == 0;
}

DWORD SendTimeout(SOCKET socket) {
    DWORD millis = 0;
    int length = sizeof millis;
    auto* value = reinterpret_cast<char*>(&millis);
    return ::getsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, value, &length) == 0 ? millis : 0;
}

// Waits for a connect begun without blocking to succeed (writable) or fail (an exception).
bool ConnectedWithin(SOCKET socket, DWORD millis) {
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(socket, &writable);
    FD_SET(socket, &failed);
    timeval limit{static_cast<long>(millis / 1000), static_cast<long>(millis % 1000 * 1000)};
    return ::select(0, nullptr, &writable, &failed, &limit) > 0 && FD_ISSET(socket, &writable);
}

// Whether the peer has reset the connection. Windows fails a receive after a reset, but Wine
// gives 0 bytes as for an orderly end and keeps no error for SO_ERROR; both flag the socket
// with POLLERR, which an orderly end never sets.
bool ResetSeen(SOCKET socket) {
    WSAPOLLFD entry{socket, POLLRDNORM, 0};
    return ::WSAPoll(&entry, 1, 0) > 0 && (entry.revents & POLLERR) != 0;
}

}  // namespace

const char* NoSocketsReason() {
    return nullptr;
}

void StartSockets() {
    static const bool started = [] {
        WSADATA data;
        if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
        std::atexit([] { ::WSACleanup(); });
        return true;
    }();
    static_cast<void>(started);
}

int32_t OpenSocket(bool stream) {
    return Uninherited(::socket(AF_INET, stream ? SOCK_STREAM : SOCK_DGRAM, 0));
}

void CloseSocketHandle(int32_t handle) {
    ::closesocket(Native(handle));
}

int32_t AcceptConnection(int32_t listener) {
    return Uninherited(::accept(Native(listener), nullptr, nullptr));
}

// Winsock's send timeout does not bound a connect, so a bounded connect is made without
// blocking and waited for.
bool ConnectSocket(int32_t handle, const sockaddr_in& name) {
    const SOCKET socket = Native(handle);
    const auto* address = reinterpret_cast<const sockaddr*>(&name);
    const DWORD timeout = SendTimeout(socket);
    if (timeout == 0) return ::connect(socket, address, sizeof name) == 0;
    if (!SetBlocking(socket, false)) return false;
    const bool connected = ::connect(socket, address, sizeof name) == 0 ||
                           (::WSAGetLastError() == WSAEWOULDBLOCK && ConnectedWithin(socket, timeout));
    return SetBlocking(socket, true) && connected;
}

// Winsock raises no signal for a peer that has gone: the send just fails.
int32_t SendOn(int32_t handle, const void* buffer, int32_t count, int32_t flags, int32_t& error) {
    const int sent = ::send(Native(handle), static_cast<const char*>(buffer), count, flags);
    error = sent == SOCKET_ERROR ? ::WSAGetLastError() : 0;
    return sent;
}

int32_t ReceiveOn(int32_t handle, void* buffer, int32_t count, int32_t flags, int32_t& error) {
    const int received = ::recv(Native(handle), static_cast<char*>(buffer), count, flags);
    error = received == SOCKET_ERROR ? ::WSAGetLastError() : 0;
    if (received == 0 && ResetSeen(Native(handle))) {
        error = WSAECONNRESET;
        return SOCKET_ERROR;
    }
    return received;
}

bool PollReadable(int32_t handle, int32_t timeoutMillis) {
    WSAPOLLFD entry{Native(handle), POLLRDNORM, 0};
    const int ready = ::WSAPoll(&entry, 1, timeoutMillis < 0 ? -1 : timeoutMillis);
    return ready > 0 && (entry.revents & (POLLRDNORM | POLLHUP | POLLERR)) != 0;
}

int32_t ReadableBytes(int32_t handle) {
    u_long available = 0;
    if (::ioctlsocket(Native(handle), FIONREAD, &available) != 0) return 0;
    return available > INT_MAX ? INT_MAX : static_cast<int32_t>(available);
}

int32_t TakePendingError(int32_t handle) {
    int error = 0;
    int length = sizeof error;
    const SOCKET socket = Native(handle);
    if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0) return 0;
    return error != 0 ? error : ResetSeen(socket) ? WSAECONNRESET : 0;
}

// Winsock takes the timeouts as milliseconds in a DWORD.
bool SetTransferTimeout(int32_t handle, int32_t millis) {
    const DWORD timeout = static_cast<DWORD>(millis);
    const auto* value = reinterpret_cast<const char*>(&timeout);
    return ::setsockopt(Native(handle), SOL_SOCKET, SO_RCVTIMEO, value, sizeof timeout) == 0 &&
           ::setsockopt(Native(handle), SOL_SOCKET, SO_SNDTIMEO, value, sizeof timeout) == 0;
}

}  // namespace qrv::platform
