// An HTTP exchange through "http::" with a loopback server thread that answers with the
// input. The request must be exactly the GET the URL asks for; the stream must start at the
// body, which must be exactly the bytes after the head's empty line, and a body shorter than
// the length the head declares must read as an error. Heads past the line and size limits
// must give no stream.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "stream/stream.h"
#include "stream/stream_exceptions.h"
#include "stream/stream_module.h"
#include "stream/stream_utils.h"
#include "support/fuzz_check.h"

namespace {

constexpr int kWaitMillis = 10000;
constexpr size_t kLongestHeadLine = 8 << 10;
constexpr size_t kLargestHead = 64 << 10;
constexpr size_t kMostHeadLines = 100;

// Answers one connection per round: records the request up to its empty line, sends the
// response, closes. Rounds are started by the fuzzing thread, so at most one runs at a time.
class TAnsweringServer {
public:
    TAnsweringServer() {
        listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(listener, 8) != 0 ||
            ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            std::abort();
        }
        port = ntohs(address.sin_port);
        std::thread([this] { Serve(); }).detach();
    }

    int Port() const { return port; }

    void StartRound(std::string answer) {
        std::lock_guard lock(mutex);
        response = std::move(answer);
        request.clear();
        ++started;
        changed.notify_all();
    }
    // The request of the round, once the server is done with it; none if no client came.
    std::optional<std::string> FinishRound() {
        std::unique_lock lock(mutex);
        FUZZ_CHECK(changed.wait_for(lock, std::chrono::milliseconds(2 * kWaitMillis), [this] { return finished == started; }),
                   "the server round did not end");
        return accepted ? std::optional(request) : std::nullopt;
    }
    // True when the server finished the round within the time (it took a connection, or gave up).
    bool RoundEndsWithin(int millis) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::milliseconds(millis), [this] { return finished == started; });
    }
    // True when a client is waiting that no round expected.
    bool ClientWaiting() {
        pollfd entry{listener, POLLIN, 0};
        return ::poll(&entry, 1, 0) > 0;
    }

private:
    void Serve() {
        for (uint64_t round = 1;; ++round) {
            std::string answer;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return started >= round; });
                answer = response;
            }
            std::string received;
            const bool came = Answer(answer, received);
            std::lock_guard lock(mutex);
            request = received;
            accepted = came;
            finished = round;
            changed.notify_all();
        }
    }

    // A client that sends nothing is not this program's (the code under test always sends
    // its request first; other programs on the machine may probe a loopback port), so it is
    // dropped and the round goes on waiting.
    bool Answer(const std::string& answer, std::string& received) {
        int client = -1;
        char buffer[4096];
        while (received.empty()) {
            if (client >= 0) ::close(client);
            pollfd entry{listener, POLLIN, 0};
            if (::poll(&entry, 1, kWaitMillis) <= 0) return false;
            client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) return false;
            const timeval timeout{kWaitMillis / 1000, 0};
            ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
            ::setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
            while (received.find("\r\n\r\n") == std::string::npos && received.size() < 65536) {
                const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
                if (got <= 0) break;
                received.append(buffer, static_cast<size_t>(got));
            }
        }
        for (size_t sent = 0; sent < answer.size();) {
            const ssize_t n = ::send(client, answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) break;
            sent += static_cast<size_t>(n);
        }
        ::shutdown(client, SHUT_WR);
        // Wait for the client to close, so closing here sends no reset that could cut the answer.
        while (::recv(client, buffer, sizeof buffer, 0) > 0) {
        }
        ::close(client);
        return true;
    }

    int listener = -1;
    int port = 0;
    std::mutex mutex;
    std::condition_variable changed;
    std::string response;
    std::string request;
    uint64_t started = 0;
    uint64_t finished = 0;
    bool accepted = false;
};

struct THead {
    bool complete = false;  // an empty line ends it
    bool ambiguous = false;  // a zero byte, a lone CR or a size near a limit: readers differ
    bool overLimits = false;
    size_t bodyStart = 0;
    std::optional<uint64_t> contentLength;
};

std::string LowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return text;
}

// A Content-Length header with nothing but digits (and blanks around them) as its value.
void ReadContentLength(const std::string& line, THead& head) {
    const std::string name = "content-length:";
    if (LowerAscii(line.substr(0, name.size())) != name) return;
    const size_t first = line.find_first_not_of(" \t", name.size());
    const size_t last = line.find_last_not_of(" \t");
    if (first == std::string::npos || last - first >= 9) {
        head.ambiguous = true;
        return;
    }
    const std::string digits = line.substr(first, last - first + 1);
    if (digits.find_first_not_of("0123456789") != std::string::npos || head.contentLength) {
        head.ambiguous = true;  // a value or a repetition that readers may take differently
        return;
    }
    head.contentLength = std::stoull(digits);
}

// Lines end with LF or a zero byte (as byte-level text lines do), a CR before the end belongs to
// the line end; the first empty line ends the head.
THead ParseHead(const std::string& response) {
    THead head;
    size_t lines = 0;
    static const std::string kLineEnds("\n\0", 2);
    for (size_t start = 0; start < response.size();) {
        const size_t feed = response.find_first_of(kLineEnds, start);
        if (feed == std::string::npos) {
            if (response.size() - start > kLongestHeadLine + 2) head.overLimits = true;
            break;
        }
        std::string line = response.substr(start, feed - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // The reader drops every CR, so a line of CRs alone is the empty line that ends the head.
        if (line.find('\r') != std::string::npos) {
            head.ambiguous = true;
            std::erase(line, '\r');
        }
        // Where exactly a limit falls (line ends counted or not, the empty line counted or
        // not) is the reader's choice: near a limit anything goes, clearly past it no stream.
        ++lines;
        if (line.size() > kLongestHeadLine + 2 || feed + 1 > kLargestHead + 2 || lines > kMostHeadLines + 2) {
            head.overLimits = true;
        } else if (line.size() + 2 >= kLongestHeadLine || feed + 3 >= kLargestHead || lines + 2 >= kMostHeadLines) {
            head.ambiguous = true;
        }
        start = feed + 1;
        if (line.empty()) {
            head.complete = true;
            head.bodyStart = start;
            return head;
        }
        ReadContentLength(line, head);
    }
    if (response.find('\0') != std::string::npos || response.find('\r') != std::string::npos) head.ambiguous = true;
    return head;
}

// The request path from the input: printable bytes and control characters, never a space,
// whose place in a request line is the HTTP code's own choice.
std::string PathOf(const uint8_t* data, size_t length) {
    std::string path = "/";
    for (size_t i = 0; i < length; ++i) path.push_back(data[i] == ' ' ? '_' : static_cast<char>(data[i]));
    return path;
}

bool FitsRequestLine(const std::string& path) {
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Never destroyed: its thread waits on it until the process ends.
    static TAnsweringServer& server = *new TAnsweringServer;
    qrv::InitStreamModule();
    if (size < 1 || size > 1 << 20) return 0;
    const size_t pathLength = std::min<size_t>(data[0] % 16, size - 1);
    const std::string path = PathOf(data + 1, pathLength);
    const std::string response(data + 1 + pathLength, data + size);
    const std::string host = "127.0.0.1:" + std::to_string(server.Port());
    std::u16string url = u"http::";
    for (const char c : host + path) url.push_back(static_cast<unsigned char>(c));

    if (!FitsRequestLine(path)) {
        FUZZ_CHECK(!qrv::OpenReadStream(url), "a request line with control characters");
        FUZZ_CHECK(!server.ClientWaiting(), "connected for a request it cannot send");
        return 0;
    }

    server.StartRound(response);
    qrv::Ref<qrv::TStream> stream = qrv::OpenReadStream(url);
    // Thousands of loopback connections a second can run the machine out of local ports for a
    // moment: when the open failed and no connection reached the server, it is tried again.
    for (int attempt = 0; !stream && attempt < 3 && !server.RoundEndsWithin(1000); ++attempt)
        stream = qrv::OpenReadStream(url);
    std::optional<std::vector<uint8_t>> body;
    if (stream) {
        try {
            body = qrv::LoadBytes(*stream);
        } catch (const qrv::TStreamReadException&) {
        }
        stream->Close();
    }
    const std::optional<std::string> request = server.FinishRound();
    FUZZ_CHECK(request == "GET " + path + " HTTP/1.0\r\nHost: " + host + "\r\n\r\n",
               "request bytes: " + (request ? "\"" + *request + "\"" : "no connection"));

    const THead head = ParseHead(response);
    if (head.overLimits) {
        FUZZ_CHECK(!stream, "a head past its limits gave a stream");
        return 0;
    }
    if (head.ambiguous) return 0;
    if (!head.complete) {
        // No bytes may come from it; a read error is fine (a Content-Length it promised is short).
        FUZZ_CHECK(!stream || !body || body->empty(), "a stream from a head without its end has a body");
        return 0;
    }
    FUZZ_CHECK(stream, "no stream for a complete head");
    const std::string rest = response.substr(head.bodyStart);
    if (head.contentLength && *head.contentLength > rest.size()) {
        FUZZ_CHECK(!body, "a body shorter than its declared length read as complete");
        return 0;
    }
    FUZZ_CHECK(body, "reading the body failed");
    const std::string got(body->begin(), body->end());
    const bool cutToLength = head.contentLength && got == rest.substr(0, *head.contentLength);
    FUZZ_CHECK(got == rest || cutToLength, "the body differs from the bytes after the head");
    return 0;
}
