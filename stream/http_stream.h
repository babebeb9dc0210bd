#pragma once

#include "stream/stream_factory.h"

namespace qrv {

// "http::host/path": an HTTP/1.0 GET of the path ("/" when there is none) from port 80 of the
// host, or from the port given as "host:port". The response head (status line and headers) is
// read and dropped, whatever the status says; the stream given starts at the body and ends
// where the server closes the connection. A host or path with control characters or characters
// beyond Latin-1 would not fit a request line, and gives no stream.
class THTTPStreamFactory final : public TStreamFactory {
public:
    Ref<TStream> TryOpen(const Ref<TObject>& url, std::u16string_view protocol,
                         std::u16string_view path, bool readable, bool writeable) override;
};

}  // namespace qrv
