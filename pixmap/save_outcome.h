#pragma once

#include <exception>

#include "stream/stream_closer.h"

namespace qrv {

// The result of saving a picture through a stream: false when encoding failed, when the stream
// raised a stream error on the way, or when the last buffered bytes could not be written as the
// stream closed (a full disk shows only then for a small picture).
[[nodiscard]] bool SaveOutcome(bool encoded, const std::exception_ptr& failure,
                               TStreamCloser& closer);

}  // namespace qrv
