#pragma once

#include "stream/stream.h"

namespace qrv {

// Closes a stream when the scope ends, however it ends. A failure to close is not reported:
// the caller's result, or the exception already on its way, is what matters.
class TStreamCloser {
public:
    explicit TStreamCloser(Ref<TStream> stream) : stream(std::move(stream)) {}
    ~TStreamCloser() {
        if (!stream) return;
        try {
            stream->Close();
        } catch (...) {
        }
    }
    TStreamCloser(const TStreamCloser&) = delete;
    TStreamCloser& operator=(const TStreamCloser&) = delete;

private:
    Ref<TStream> stream;
};

}  // namespace qrv
