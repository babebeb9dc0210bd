#include "audio/wav_header.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#include "audio/decoder_reading.h"
#include "audio/sound.h"
#include "audio/sound_loader.h"
#include "core/byte_order.h"
#include "stream/url_failure.h"

namespace qrv {

namespace {

constexpr int32_t FORMAT_EXTENSIBLE = 0xFFFE;

// Skips `count` bytes; false when the data ends first.
bool SkipExactly(TStream& stream, int64_t count) {
    const int64_t from = stream.Position();
    for (int64_t left = count; left > 0;) {
        const auto step = static_cast<int32_t>(std::min<int64_t>(left, int64_t{1} << 30));
        stream.Skip(step);
        left -= step;
        if (stream.Position() - from < count - left) return false;
    }
    return true;
}

// Why the format cannot be played, or empty when it can.
std::string FormatProblem(const TWavFormat& f) {
    if (f.tag != WAV_FORMAT_PCM && f.tag != WAV_FORMAT_FLOAT) {
        char tag[8];
        std::snprintf(tag, sizeof tag, "0x%04X", static_cast<unsigned>(f.tag));
        return std::string("samples in WAV format ") + tag + ", which cannot be read (PCM and float can)";
    }
    if (f.channels != 1 && f.channels != 2) {
        return std::to_string(f.channels) + " channels (mono and stereo can be read)";
    }
    if (f.rate < MIN_SOUND_RATE || f.rate > MAX_SOUND_RATE) return "a rate of " + std::to_string(f.rate) + " Hz";
    const bool pcmBits = f.bits == 8 || f.bits == 16 || f.bits == 24 || f.bits == 32;
    if (f.tag == WAV_FORMAT_PCM ? !pcmBits : f.bits != 32) {
        return std::to_string(f.bits) + "-bit " + (f.tag == WAV_FORMAT_PCM ? "PCM" : "float") +
               " samples, which cannot be read";
    }
    if (f.blockAlign != f.channels * f.bits / 8) {
        return "frames of " + std::to_string(f.blockAlign) + " bytes for " + std::to_string(f.channels) +
               " channels of " + std::to_string(f.bits) + " bits";
    }
    return {};
}

// The format chunk of `size` bytes, its padding included; none after noting why.
std::optional<TWavFormat> ReadFormat(TStream& stream, uint32_t size, int32_t start) {
    std::array<uint8_t, 40> bytes{};
    if (size < 16) {
        NoteSoundFailure("a format chunk of " + std::to_string(size) + " bytes");
        return std::nullopt;
    }
    const auto wanted = static_cast<int32_t>(std::min<uint32_t>(size, bytes.size()));
    if (ReadUpTo(stream, bytes.data(), wanted) < wanted ||
        !SkipExactly(stream, int64_t{size} - wanted + (size & 1))) {
        NoteSoundFailure(TruncatedCause(stream.Position() - start));
        return std::nullopt;
    }
    TWavFormat format;
    format.tag = static_cast<int32_t>(LoadLittleEndian<uint16_t>(&bytes[0]));
    format.channels = static_cast<int32_t>(LoadLittleEndian<uint16_t>(&bytes[2]));
    format.rate = LoadLittleEndian<uint32_t>(&bytes[4]);
    format.blockAlign = static_cast<int32_t>(LoadLittleEndian<uint16_t>(&bytes[12]));
    format.bits = static_cast<int32_t>(LoadLittleEndian<uint16_t>(&bytes[14]));
    // The extensible chunk names the real format in the first two bytes of its sub-format.
    if (format.tag == FORMAT_EXTENSIBLE && size >= 40) format.tag = static_cast<int32_t>(LoadLittleEndian<uint16_t>(&bytes[24]));
    if (const std::string problem = FormatProblem(format); !problem.empty()) {
        NoteSoundFailure(problem);
        return std::nullopt;
    }
    return format;
}

}  // namespace

std::optional<TWavHeader> ReadWavHeader(TStream& stream) {
    const int32_t start = stream.Position();
    std::array<uint8_t, 12> riff{};
    const int32_t got = ReadUpTo(stream, riff.data(), 12);
    if (got < 4 || std::memcmp(riff.data(), "RIFF", 4) != 0) return std::nullopt;
    if (got < 12) {
        NoteSoundFailure(TruncatedCause(got));
        return std::nullopt;
    }
    if (std::memcmp(&riff[8], "WAVE", 4) != 0) return std::nullopt;
    std::optional<TWavFormat> format;
    for (;;) {
        std::array<uint8_t, 8> chunk{};
        if (ReadUpTo(stream, chunk.data(), 8) < 8) {
            NoteSoundFailure(TruncatedCause(stream.Position() - start));
            return std::nullopt;
        }
        const uint32_t size = LoadLittleEndian<uint32_t>(&chunk[4]);
        if (std::memcmp(chunk.data(), "fmt ", 4) == 0) {
            format = ReadFormat(stream, size, start);
            if (!format) return std::nullopt;
        } else if (std::memcmp(chunk.data(), "data", 4) == 0) {
            if (!format) {
                NoteSoundFailure("samples before their format");
                return std::nullopt;
            }
            const int64_t frames = size / format->blockAlign;
            if (frames == 0) {
                NoteSoundFailure("no samples");
                return std::nullopt;
            }
            return TWavHeader{*format, frames, stream.Position() - start};
        } else if (!SkipExactly(stream, int64_t{size} + (size & 1))) {
            NoteSoundFailure(TruncatedCause(stream.Position() - start));
            return std::nullopt;
        }
    }
}

}  // namespace qrv
