#include "stream/http_stream.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <limits>
#include <string>

#include "core/text_to_int.h"
#include "stream/socket_stream.h"
#include "stream/stream_exceptions.h"
#include "stream/url_failure.h"

namespace qrv {
namespace {

constexpr int32_t kHttpPort = 80;
constexpr size_t kMaxHeadLine = 8 << 10;
constexpr size_t kMaxHeadBytes = 64 << 10;
constexpr int kMaxHeadLines = 100;

int32_t httpTimeoutMillis = DEFAULT_HTTP_TIMEOUT;
int32_t httpDeadlineMillis = DEFAULT_HTTP_DEADLINE;

using TClock = std::chrono::steady_clock;

// A time by which something must be done, or none.
struct TDeadline {
    bool bounded = false;
    TClock::time_point at;

    // None for 0 or less.
    static TDeadline In(int32_t millis) {
        if (millis <= 0) return {};
        return {true, TClock::now() + std::chrono::milliseconds(millis)};
    }
    TDeadline Earlier(const TDeadline& other) const {
        if (!bounded) return other;
        return other.bounded && other.at < at ? other : *this;
    }
    // What is left for a wait: -1 without a deadline, 0 once it has passed.
    int32_t MillisLeft() const {
        if (!bounded) return -1;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(at - TClock::now()).count();
        return static_cast<int32_t>(std::clamp<int64_t>(left, 0, std::numeric_limits<int32_t>::max()));
    }
};

// Characters that keep a request line and a header line intact: no spaces, line ends or other
// control characters, nothing beyond one byte.
bool FitsRequest(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c > u' ' && c != 127 && c <= 255; });
}

// The lookup, the connect and the request's send each wait at most what is left of `deadline`.
Ref<TSocketStream> ConnectToHost(std::u16string_view host, const TDeadline& deadline) {
    const int32_t left = deadline.MillisLeft();
    if (left == 0) {
        NoteOpenFailure("no answer within the time allowed");
        return nullptr;
    }
    const int32_t timeout = std::max(left, 0);
    const size_t colon = host.find(u':');
    if (colon == std::u16string_view::npos) return TSocketStream::ConnectClient(host, kHttpPort, timeout);
    return TSocketStream::ConnectClient(host.substr(0, colon), TextToInt(host.substr(colon + 1)), timeout);
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

// The Content-Length of a header line, or -1 when the line is another header or the value is
// no plain decimal number.
int64_t ContentLengthOf(std::string_view line) {
    constexpr std::string_view kName = "content-length:";
    if (line.size() < kName.size()) return -1;
    for (size_t i = 0; i < kName.size(); ++i) {
        const char c = line[i];
        if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != kName[i]) return -1;
    }
    std::string_view value = line.substr(kName.size());
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
    if (value.empty() || value.size() > 18) return -1;
    int64_t length = 0;
    for (const char c : value) {
        if (c < '0' || c > '9') return -1;
        length = length * 10 + (c - '0');
    }
    return length;
}

struct THttpHead {
    bool complete = false;       // the empty line that ends the head arrived
    std::string bodyStart;       // body bytes received with the head
    int64_t contentLength = -1;  // -1 when the server sent none
};

// Reads the head in blocks, with the rules of byte-level text lines (a line ends at LF or a zero
// byte; CR is dropped). False when the connection failed, the deadline passed or a bound was
// broken; a server that closes before the empty line leaves an incomplete head and no body.
bool ReadHead(TSocket& socket, THttpHead& head, const TDeadline& deadline) {
    std::array<char, 4096> block;
    std::string line;
    size_t headBytes = 0;
    int lines = 0;
    for (;;) {
        const int32_t wait = deadline.MillisLeft();
        if (wait == 0 || !socket.WaitReadable(wait)) return false;
        const int32_t n = socket.ReceiveBytes(block.data(), static_cast<int32_t>(block.size()), 0);
        if (n == 0) return socket.LastError() == 0 && socket.TakePendingError() == 0;
        for (int32_t i = 0; i < n; ++i) {
            if (++headBytes > kMaxHeadBytes) return false;
            const char byte = block[static_cast<size_t>(i)];
            if (byte != '\n' && byte != '\0') {
                if (byte == '\r') continue;
                if (line.size() == kMaxHeadLine) return false;
                line.push_back(byte);
            } else if (line.empty()) {
                head.complete = true;
                head.bodyStart.assign(block.data() + i + 1, static_cast<size_t>(n - i - 1));
                return true;
            } else {
                if (++lines > kMaxHeadLines) return false;
                if (const int64_t length = ContentLengthOf(line); length >= 0) head.contentLength = length;
                line.clear();
            }
        }
    }
}

// The body of a response: the bytes that came with the head, then the connection's. With a
// Content-Length the body ends after that many bytes, and a connection that ends before them
// has failed. Each receive waits at most the timeout, and none waits past the overall deadline.
class THTTPStream final : public TSocketStream {
public:
    THTTPStream(Ref<TSocket> socket, THttpHead head, int32_t timeoutMillis, const TDeadline& deadline)
        : TSocketStream(std::move(socket), true), bodyStart(std::move(head.bodyStart)),
          contentLength(head.contentLength), timeoutMillis(timeoutMillis), deadline(deadline) {
        if (contentLength >= 0 && static_cast<int64_t>(bodyStart.size()) > contentLength) {
            bodyStart.resize(static_cast<size_t>(contentLength));
        }
    }

    bool AtEnd() override {
        if (given < bodyStart.size()) return false;
        if (contentLength >= 0 && received >= contentLength) return true;
        if (shortBody || !TSocketStream::AtEnd()) return false;
        // The server closed early: the reader's next Read reports it.
        shortBody = contentLength >= 0;
        return !shortBody;
    }

    int32_t Read(void* buffer, int32_t count) override {
        if (count <= 0) return 0;
        if (shortBody) throw TStreamReadException();
        if (given < bodyStart.size()) {
            const size_t n = std::min(static_cast<size_t>(count), bodyStart.size() - given);
            std::memcpy(buffer, bodyStart.data() + given, n);
            given += n;
            received += static_cast<int64_t>(n);
            return static_cast<int32_t>(n);
        }
        if (contentLength >= 0) {
            if (received >= contentLength) return 0;
            count = static_cast<int32_t>(std::min<int64_t>(count, contentLength - received));
        }
        WaitForBytes();
        const int32_t n = TSocketStream::Read(buffer, count);
        if (n == 0 && contentLength >= 0) {
            shortBody = true;
            Close();
            throw TStreamReadException();
        }
        received += n;
        return n;
    }

private:
    // A server that trickles its bytes must not hold the reader past the deadline: a receive
    // waits for readiness first, and nothing by the deadline fails the read.
    void WaitForBytes() {
        const int32_t wait = deadline.Earlier(TDeadline::In(timeoutMillis)).MillisLeft();
        if (wait < 0 || !SocketOf()) return;
        if (wait == 0 || !SocketOf()->WaitReadable(wait)) FailReading();
    }

    std::string bodyStart;
    size_t given = 0;
    int64_t contentLength;
    int64_t received = 0;
    bool shortBody = false;
    int32_t timeoutMillis;
    TDeadline deadline;
};

}  // namespace

void SetHttpTimeout(int32_t millis) {
    httpTimeoutMillis = millis;
}

int32_t HttpTimeout() {
    return httpTimeoutMillis;
}

void SetHttpDeadline(int32_t millis) {
    httpDeadlineMillis = millis;
}

int32_t HttpDeadline() {
    return httpDeadlineMillis;
}

Ref<TStream> THTTPStreamFactory::TryOpen(const Ref<TObject>&, std::u16string_view protocol,
                                         std::u16string_view path, bool, bool) {
    if (protocol != u"http") return nullptr;
    const size_t slash = path.find(u'/');
    const std::u16string_view host = path.substr(0, slash);
    const std::u16string_view requestPath = slash == std::u16string_view::npos ? u"/" : path.substr(slash);
    if (!FitsRequest(host) || !FitsRequest(requestPath)) {
        NoteOpenFailure("spaces, line ends or characters beyond one byte cannot be sent in a request");
        return nullptr;
    }

    const TDeadline overall = TDeadline::In(httpDeadlineMillis);
    auto connection = ConnectToHost(host, overall.Earlier(TDeadline::In(httpTimeoutMillis)));
    if (!connection) return nullptr;
    const Ref<TSocket> socket = connection->SocketOf();
    THttpHead head;
    if (!SendRequest(*connection, host, requestPath)) {
        NoteOpenFailure("the request could not be sent");
        connection->Close();
        return nullptr;
    }
    if (!ReadHead(*socket, head, overall.Earlier(TDeadline::In(httpTimeoutMillis)))) {
        NoteOpenFailure("no complete HTTP answer (the connection failed, the time allowed passed "
                        "or the answer's head is too long)");
        connection->Close();
        return nullptr;
    }
    return std::make_shared<THTTPStream>(socket, std::move(head), httpTimeoutMillis, overall);
}

}  // namespace qrv
