#include <cerrno>

#include "stream/socket_headers.h"
#include "stream/socket_platform.h"

// A page cannot open TCP/IP sockets: browsers give it HTTP requests and WebSockets only, which
// speak their own protocols. Every socket fails to open, so nothing else here is ever reached
// with a real handle.
namespace qrv::platform {

const char* NoSocketsReason() {
    return "TCP/IP sockets are not available in a browser";
}

void StartSockets() {}

int32_t OpenSocket(bool) {
    return -1;
}

void CloseSocketHandle(int32_t) {}

int32_t AcceptConnection(int32_t) {
    return -1;
}

bool ConnectSocket(int32_t, const sockaddr_in&) {
    return false;
}

int32_t SendOn(int32_t, const void*, int32_t, int32_t, int32_t& error) {
    error = ENOTSUP;
    return -1;
}

int32_t ReceiveOn(int32_t, void*, int32_t, int32_t, int32_t& error) {
    error = ENOTSUP;
    return -1;
}

bool PollReadable(int32_t, int32_t) {
    return false;
}

int32_t ReadableBytes(int32_t) {
    return 0;
}

int32_t TakePendingError(int32_t) {
    return 0;
}

bool SetTransferTimeout(int32_t, int32_t) {
    return false;
}

}  // namespace qrv::platform
