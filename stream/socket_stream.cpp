#include "stream/socket_stream.h"

#include "core/text.h"
#include "core/text_to_int.h"
#include "stream/host_names.h"
#include "stream/stream_exceptions.h"
#include "stream/url_failure.h"

namespace qrv {
namespace {

constexpr int32_t kDefaultPort = 80;

}  // namespace

Ref<TSocketStream> TSocketStream::OverSocket(Ref<TSocket> socket, bool autoClose) {
    return Ref<TSocketStream>(new TSocketStream(std::move(socket), autoClose));
}

Ref<TSocketStream> TSocketStream::ConnectClient(std::u16string_view host, int32_t port,
                                                int32_t timeoutMillis) {
    if (const std::string reason = SocketsUnavailableReason(); !reason.empty()) {
        NoteOpenFailure(reason);
        return nullptr;
    }
    const std::vector<int32_t> addresses = HostAddressesWithin(host, timeoutMillis);
    if (addresses.empty() || addresses[0] == 0) {
        NoteOpenFailure("host \"" + ToUtf8(host) + "\" not found");
        return nullptr;
    }
    const int32_t address = addresses[0];
    auto socket = TSocket::NewTcpSocket();
    if (!socket) {
        NoteOpenFailure("the system gives no socket");
        return nullptr;
    }
    if ((timeoutMillis > 0 && !socket->SetTimeout(timeoutMillis)) || !socket->ConnectTo(address, port)) {
        socket->CloseSocket();
        NoteOpenFailure("could not connect to " + ToUtf8(host) + " port " + std::to_string(port));
        return nullptr;
    }
    return OverSocket(std::move(socket), true);
}

bool TSocketStream::AtEnd() {
    if (readFailed) return false;
    if (!socket) return true;
    // A reset also makes the socket readable with nothing to read, like a peer that closed.
    if (socket->BytesAvailable() == 0 && socket->TakePendingError() != 0) {
        readFailed = true;
        Close();
        return false;
    }
    if (socket->IsConnected()) return false;
    Close();
    return true;
}

void TSocketStream::FailReading() {
    readFailed = true;
    Close();
    throw TStreamReadException();
}

void TSocketStream::Close() {
    if (!socket) return;
    if (autoClose) socket->CloseSocket();
    socket = nullptr;
}

int32_t TSocketStream::Read(void* buffer, int32_t count) {
    if (readFailed) throw TStreamReadException();
    if (!socket) return 0;
    const int32_t n = socket->ReceiveBytes(buffer, count, 0);
    if (n == 0 && count > 0 && socket->LastError() != 0) FailReading();
    return n;
}

int32_t TSocketStream::Write(const void* buffer, int32_t count) {
    return socket ? socket->SendBytes(buffer, count, 0) : 0;
}

Ref<TStream> TSocketStreamFactory::TryOpen(const Ref<TObject>&, std::u16string_view protocol,
                                           std::u16string_view path, bool, bool) {
    if (protocol != u"tcp") return nullptr;
    const size_t colon = path.find(u':');
    if (colon == std::u16string_view::npos) return TSocketStream::ConnectClient(path, kDefaultPort);
    return TSocketStream::ConnectClient(path.substr(0, colon), TextToInt(path.substr(colon + 1)));
}

}  // namespace qrv
