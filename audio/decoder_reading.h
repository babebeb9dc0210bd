#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "stream/stream.h"

namespace qrv {

// How the sound decoders read their stream.

// The cause a decoder gives when its stream raised `e` (a lost connection, an unreadable file).
[[nodiscard]] inline std::string UnreadableCause(const std::exception& e) {
    return std::string("the data could not be read (") + e.what() + ")";
}

// Reads until `count` bytes came or the data ended; gives the bytes read. Unlike ReadFully, the
// end of the data is an answer here, not an exception: decoders say how far a file got. With
// `failure`, an exception from the stream ends the reading too, its cause kept there, so that
// the bytes that came before it are not lost.
[[nodiscard]] inline int32_t ReadUpTo(TStream& stream, void* buffer, int32_t count,
                                      std::string* failure = nullptr) {
    auto* bytes = static_cast<uint8_t*>(buffer);
    int32_t got = 0;
    try {
        while (got < count) {
            const int32_t n = stream.Read(bytes + got, count - got);
            if (n <= 0) break;
            got += n;
        }
    } catch (const std::exception& e) {
        if (!failure) throw;
        *failure = UnreadableCause(e);
    }
    return got;
}


}  // namespace qrv
