#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "core/object.h"

namespace qrv {

// A thin IPv4 socket over the platform's sockets. Addresses are 32-bit integers in host order
// (the first dotted number in the highest byte). Every operation reports failure by its result
// (0, false or none); nothing raises. A socket made with the auto-close flag closes its handle
// when it is closed, and at the latest when its last reference goes.
class TSocket : public TObject {
public:
    TSocket(const TSocket&) = delete;
    TSocket& operator=(const TSocket&) = delete;
    ~TSocket() override;

    // SendBytes and ReceiveBytes: the bytes sent or received, `flags` passed to the platform's
    // send and recv; 0 on error (and, for receiving, at the end of the data). A peer that has gone
    // makes sending fail instead of raising a broken-pipe signal.
    [[nodiscard]] virtual int32_t SendBytes(const void* buffer, int32_t count, int32_t flags);
    [[nodiscard]] virtual int32_t ReceiveBytes(void* buffer, int32_t count, int32_t flags);
    // Closes the handle (when auto-closing) and sets the handle, addresses and ports to -1.
    // Closing again does nothing.
    virtual void CloseSocket();
    // True while the socket is open and the peer has not closed; finding the peer gone closes it.
    virtual bool IsConnected();
    // Binds to 0.0.0.0 and the port (0 picks a free one).
    [[nodiscard]] virtual bool BindPort(int32_t port);
    // Connects to the address and port (0..65535), within SetTimeout's bound when one is set; false
    // on failure or for a port out of range. Reads the local and remote names on success.
    [[nodiscard]] virtual bool ConnectTo(int32_t address, int32_t port);
    // Listens for clients, queueing up to `backlog` of them; false on failure.
    [[nodiscard]] virtual bool StartListening(int32_t backlog);
    // Waits up to `timeoutMillis` (negative: without limit) for a client and accepts it.
    [[nodiscard]] virtual Ref<TSocket> AcceptClient(int32_t timeoutMillis);
    // Whether something can be received (data, an end or an error) within `timeoutMillis`
    // (negative: without limit).
    [[nodiscard]] bool WaitReadable(int32_t timeoutMillis);
    // Bytes that can be received without blocking; 0 on error.
    virtual int32_t BytesAvailable();
    // Turns Nagle's algorithm off (true) or on, for TCP sockets; false on failure.
    [[nodiscard]] virtual bool SetNoDelay(bool noDelay);
    // Bounds every later receive and send, and a connect, to `millis` milliseconds each (0: no
    // bound); a receive that times out fails like any other.
    [[nodiscard]] bool SetTimeout(int32_t millis);
    // The platform's error code of the last send or receive that failed (a reset connection,
    // a timeout), 0 after one that did not: a receive of 0 bytes is either an end or a failure.
    int32_t LastError() const { return lastError; }
    // An error the connection has met that no operation has reported yet (a reset), taken
    // from the socket; 0 when there is none.
    int32_t TakePendingError();

    // Handle: the platform's socket handle. LocalAddress, LocalPortNumber, RemoteAddress and
    // RemotePortNumber: the names last read from the platform (when the socket is made, bound or
    // connected, or refreshed below); 0 when it could not say. All -1 once closed.
    virtual int32_t Handle() const { return handle; }
    virtual int32_t LocalAddress() const { return localAddress; }
    virtual int32_t LocalPortNumber() const { return localPort; }
    virtual int32_t RemoteAddress() const { return remoteAddress; }
    virtual int32_t RemotePortNumber() const { return remotePort; }
    // RefreshLocalName and RefreshRemoteName: ask the platform again for the socket's own or its
    // peer's address and port; both 0 when it cannot say.
    virtual void RefreshLocalName();
    virtual void RefreshRemoteName();

    // None for a negative handle.
    [[nodiscard]] static Ref<TSocket> WrapHandle(int32_t handle, bool autoClose);
    // NewUdpSocket and NewTcpSocket: new IPv4 sockets, auto-closing; none if the platform refuses.
    [[nodiscard]] static Ref<TSocket> NewUdpSocket();
    [[nodiscard]] static Ref<TSocket> NewTcpSocket();

private:
    TSocket(int32_t socketHandle, bool closeWhenDone)
        : handle(socketHandle), autoClose(closeWhenDone) {}
    void Release();

    int32_t handle = 0;
    bool autoClose = false;
    int32_t localAddress = 0;
    int32_t localPort = 0;
    int32_t remoteAddress = 0;
    int32_t remotePort = 0;
    int32_t lastError = 0;
};

// Why this platform gives no sockets ("TCP/IP sockets are not available in a browser"), or the
// empty text where it gives them. Without them no socket opens, and "tcp::" and "http::" URLs
// give no stream at once, before any host-name lookup.
[[nodiscard]] std::string SocketsUnavailableReason();

// Kept for callers that catch it; no operation of this module raises it.
class TSocketException : public std::runtime_error {
public:
    TSocketException() : std::runtime_error("Internal socket error") {}
};

}  // namespace qrv
