#include "stream/http_stream.h"

#include <algorithm>

#include "core/text_to_int.h"
#include "stream/socket_stream.h"
#include "stream/stream_exceptions.h"

namespace qrv {
namespace {

constexpr int32_t kHttpPort = 80;

// Characters that keep a request line and a header line intact: no line ends or other
// control characters, no spaces in the host, nothing beyond one byte.
bool FitsRequest(std::u16string_view text, char16_t lowest) {
    return std::all_of(text.begin(), text.end(),
                       [lowest](char16_t c) { return c >= lowest && c != 127 && c <= 255; });
}

Ref<TStream> ConnectToHost(std::u16string_view host) {
    const size_t colon = host.find(u':');
    if (colon == std::u16string_view::npos) return TSocketStream::ConnectClient(host, kHttpPort);
    return TSocketStream::ConnectClient(host.substr(0, colon), TextToInt(host.substr(colon + 1)));
}

// Sends the request in one piece, so a short send cannot leave half of it behind.
bool SendRequest(TStream& stream, std::u16string_view host, std::u16string_view requestPath) {
    std::u16string request = u"GET ";
    request.append(requestPath).append(u" HTTP/1.0\r\nHost: ").append(host).append(u"\r\n\r\n");
    try {
        stream.WriteChars(request);
        return true;
    } catch (const TStreamWriteException&) {
        return false;
    }
}

}  // namespace

Ref<TStream> THTTPStreamFactory::TryOpen(const Ref<TObject>&, std::u16string_view protocol,
                                         std::u16string_view path, bool, bool) {
    if (protocol != u"http") return nullptr;
    const size_t slash = path.find(u'/');
    const std::u16string_view host = path.substr(0, slash);
    const std::u16string_view requestPath = slash == std::u16string_view::npos ? u"/" : path.substr(slash);
    if (!FitsRequest(host, u'!') || !FitsRequest(requestPath, u' ')) return nullptr;

    auto stream = ConnectToHost(host);
    if (!stream) return nullptr;
    if (!SendRequest(*stream, host, requestPath)) {
        stream->Close();
        return nullptr;
    }
    // The status line and the headers end with an empty line; the body follows it.
    while (!stream->AtEnd() && !stream->ReadTextLine().empty()) {
    }
    return stream;
}

}  // namespace qrv
