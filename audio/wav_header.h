#pragma once

#include <cstdint>
#include <optional>

#include "stream/stream.h"

namespace qrv {

// What a RIFF WAVE header says of its samples, once checked to be a format that can be read.
struct TWavFormat {
    int32_t tag = 0;  // 1: integer PCM, 3: float
    int32_t channels = 0;
    int64_t rate = 0;
    int32_t bits = 0;
    int32_t blockAlign = 0;  // bytes a frame
};

struct TWavHeader {
    TWavFormat format;
    // Whole frames the data chunk claims; at least 1. The file may hold fewer.
    int64_t frames = 0;
    // Where the samples start, from the position the header was read from.
    int32_t dataOffset = 0;
};

inline constexpr int32_t WAV_FORMAT_PCM = 1;
inline constexpr int32_t WAV_FORMAT_FLOAT = 3;

// Reads a RIFF WAVE header from the stream's position up to the first sample. None, with nothing
// noted, when the data is not RIFF WAVE; none after NoteSoundFailure (sound_loader.h) when it is
// but cannot be read: truncated, no samples, a format not in TWavFormat's reach.
[[nodiscard]] std::optional<TWavHeader> ReadWavHeader(TStream& stream);

}  // namespace qrv
