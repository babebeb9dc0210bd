#pragma once

#include "stream/socket.h"
#include "stream/stream.h"
#include "stream/stream_factory.h"

namespace qrv {

// A stream over a connected socket. Not seekable; its end is where the peer has closed, which
// AtEnd finds out (and then closes the stream). Reads block until data comes. A connection
// that fails (reset by the peer, or a receive that timed out) is no end: Read raises
// TStreamReadException then and after, and AtEnd stays false.
class TSocketStream : public TStream {
public:
    // With `autoClose`, closing the stream closes the socket; either way the stream lets go of it.
    [[nodiscard]] static Ref<TSocketStream> OverSocket(Ref<TSocket> socket, bool autoClose);
    // Connects to the first IPv4 address of the host; none when it does not resolve or connect,
    // and at once where the platform has no sockets (SocketsUnavailableReason).
    // A positive `timeoutMillis` bounds the host-name lookup, the connect and every later receive
    // and send, each on its own.
    [[nodiscard]] static Ref<TSocketStream> ConnectClient(std::u16string_view host, int32_t port,
                                                         int32_t timeoutMillis = 0);

    bool AtEnd() override;
    void Close() override;
    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;

    // The socket, or none once the stream is closed.
    const Ref<TSocket>& SocketOf() const { return socket; }

protected:
    TSocketStream(Ref<TSocket> connected, bool closeWhenDone)
        : socket(std::move(connected)), autoClose(closeWhenDone) {}
    // Marks the stream as failed, closes it and raises TStreamReadException.
    [[noreturn]] void FailReading();

private:
    Ref<TSocket> socket;
    bool autoClose = false;
    bool readFailed = false;
};

// "tcp::host" connects to port 80, "tcp::host:port" to that port.
class TSocketStreamFactory final : public TStreamFactory {
public:
    Ref<TStream> TryOpen(const Ref<TObject>& url, std::u16string_view protocol,
                         std::u16string_view path, bool readable, bool writeable) override;
};

}  // namespace qrv
