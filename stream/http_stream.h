#pragma once

#include "stream/stream_factory.h"

namespace qrv {

// "http::host/path": an HTTP/1.0 GET of the path ("/" when there is none) from port 80 of the
// host, or from the port given as "host:port". The response head (status line and headers) is
// read and dropped, whatever the status says; the stream given starts at the body and ends
// where the server closes the connection, or after the Content-Length the server sent. A host
// or path with spaces, control characters or characters beyond Latin-1 would not fit a request
// line, and gives no stream.
//
// The response head is bounded: a line of at most 8 KiB, at most 100 lines, at most 64 KiB in
// all, and it must arrive within the timeout. Past a bound, or when the connection fails before
// the head is complete, the open gives no stream. A body that ends before its Content-Length,
// a reset connection, a receive that timed out or a body still arriving at the deadline is a
// read error (TStreamReadException). LoadBytes bounds a body read into memory by its own limit.
class THTTPStreamFactory final : public TStreamFactory {
public:
    Ref<TStream> TryOpen(const Ref<TObject>& url, std::u16string_view protocol,
                         std::u16string_view path, bool readable, bool writeable) override;
};

// The defaults of HttpTimeout and HttpDeadline, in milliseconds: 30 seconds and 5 minutes.
inline constexpr int32_t DEFAULT_HTTP_TIMEOUT = 30000;
inline constexpr int32_t DEFAULT_HTTP_DEADLINE = 300000;

// SetHttpTimeout and HttpTimeout: how long, in milliseconds, an http:: open waits for the host-name
// lookup, for its connection and for the whole response head, and each later receive for its bytes.
// 30 seconds unless the program sets another; 0 or less waits without limit.
void SetHttpTimeout(int32_t millis);
int32_t HttpTimeout();

// SetHttpDeadline and HttpDeadline: how long, in milliseconds, an http:: stream lasts in all, from
// the start of its open to the last byte of its body, however its server spaces the bytes out. An
// open still waiting at the deadline gives no stream, and a read still waiting raises
// TStreamReadException. 5 minutes unless the program sets another; 0 or less sets no deadline. It
// applies to the streams opened after it is set.
void SetHttpDeadline(int32_t millis);
int32_t HttpDeadline();

}  // namespace qrv
