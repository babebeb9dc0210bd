#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "stream/stream.h"

namespace qrv {

// How the sound decoders read their stream.

// Reads until `count` bytes came or the data ended; gives the bytes read. Unlike ReadFully, the
// end of the data is an answer here, not an exception: decoders say how far a file got.
[[nodiscard]] inline int32_t ReadUpTo(TStream& stream, void* buffer, int32_t count) {
    auto* bytes = static_cast<uint8_t*>(buffer);
    int32_t got = 0;
    while (got < count) {
        const int32_t n = stream.Read(bytes + got, count - got);
        if (n <= 0) break;
        got += n;
    }
    return got;
}

// The cause a decoder gives when its stream raised `e` (a lost connection, an unreadable file).
[[nodiscard]] inline std::string UnreadableCause(const std::exception& e) {
    return std::string("the data could not be read (") + e.what() + ")";
}

}  // namespace qrv
