#include <poll.h>
#include <sys/ioctl.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>

#include "stream/socket_headers.h"
#include "stream/socket_platform.h"

namespace qrv::platform {

const char* NoSocketsReason() {
    return nullptr;
}

void StartSockets() {}

int32_t OpenSocket(bool stream) {
    return ::socket(AF_INET, (stream ? SOCK_STREAM : SOCK_DGRAM) | SOCK_CLOEXEC, 0);
}

void CloseSocketHandle(int32_t handle) {
    ::close(handle);
}

int32_t AcceptConnection(int32_t listener) {
    return ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
}

// On Linux the send timeout also bounds a connect.
bool ConnectSocket(int32_t handle, const sockaddr_in& name) {
    return ::connect(handle, reinterpret_cast<const sockaddr*>(&name), sizeof name) == 0;
}

int32_t SendOn(int32_t handle, const void* buffer, int32_t count, int32_t flags, int32_t& error) {
    ssize_t sent;
    do {
        sent = ::send(handle, buffer, static_cast<size_t>(count), flags | MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    error = sent < 0 ? errno : 0;
    return static_cast<int32_t>(sent);
}

int32_t ReceiveOn(int32_t handle, void* buffer, int32_t count, int32_t flags, int32_t& error) {
    ssize_t received;
    do {
        received = ::recv(handle, buffer, static_cast<size_t>(count), flags);
    } while (received < 0 && errno == EINTR);
    error = received < 0 ? errno : 0;
    return static_cast<int32_t>(received);
}

bool PollReadable(int32_t handle, int32_t timeoutMillis) {
    pollfd entry{handle, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&entry, 1, timeoutMillis < 0 ? -1 : timeoutMillis);
    } while (ready < 0 && errno == EINTR);
    return ready > 0 && (entry.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
}

int32_t ReadableBytes(int32_t handle) {
    int available = 0;
    return ::ioctl(handle, FIONREAD, &available) == 0 ? available : 0;
}

int32_t TakePendingError(int32_t handle) {
    int error = 0;
    socklen_t length = sizeof error;
    return ::getsockopt(handle, SOL_SOCKET, SO_ERROR, &error, &length) == 0 ? error : 0;
}

bool SetTransferTimeout(int32_t handle, int32_t millis) {
    const timeval timeout{millis / 1000, static_cast<suseconds_t>(millis % 1000 * 1000)};
    return ::setsockopt(handle, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout) == 0 &&
           ::setsockopt(handle, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout) == 0;
}

}  // namespace qrv::platform
