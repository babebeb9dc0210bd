#pragma once

#include "stream/stream.h"

namespace qrv {

// Closes a stream when the scope ends, however it ends. A failure to close is not reported
// then: the caller's result, or the exception already on its way, is what matters. Where the
// caller's result depends on the bytes reaching their file, it calls Close itself.
class TStreamCloser {
public:
    explicit TStreamCloser(Ref<TStream> closed) : stream(std::move(closed)) {}
    ~TStreamCloser() {
        if (!stream) return;
        try {
            stream->Close();
        } catch (...) {
        }
    }
    // Closes the stream now and lets its failure through (a write that failed only when the
    // last buffered bytes went out); the scope's end then does nothing.
    void Close() {
        if (auto closing = std::move(stream)) closing->Close();
    }
    // Leaves the stream open: its new holder closes it.
    void Release() { stream = nullptr; }
    TStreamCloser(const TStreamCloser&) = delete;
    TStreamCloser& operator=(const TStreamCloser&) = delete;

private:
    Ref<TStream> stream;
};

}  // namespace qrv
