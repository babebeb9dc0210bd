#include "audio/wav_loader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "core/bit_cast.h"
#include "core/byte_order.h"
#include "core/failure.h"
#include "stream/url_failure.h"

namespace qrv {

namespace {

constexpr int32_t FORMAT_PCM = 1;
constexpr int32_t FORMAT_FLOAT = 3;
constexpr int32_t FORMAT_EXTENSIBLE = 0xFFFE;
// Samples are read and converted this many frames at a time.
constexpr int32_t CHUNK_FRAMES = 16384;

struct TWavFormat {
    int32_t tag = 0;
    int32_t channels = 0;
    int64_t rate = 0;
    int32_t bits = 0;
    int32_t blockAlign = 0;
};

// Reads until `count` bytes came or the data ended; gives the bytes read.
int32_t ReadUpTo(TStream& stream, void* buffer, int32_t count) {
    auto* bytes = static_cast<uint8_t*>(buffer);
    int32_t got = 0;
    while (got < count) {
        const int32_t n = stream.Read(bytes + got, count - got);
        if (n <= 0) break;
        got += n;
    }
    return got;
}

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
    if (f.tag != FORMAT_PCM && f.tag != FORMAT_FLOAT) {
        char tag[8];
        std::snprintf(tag, sizeof tag, "0x%04X", static_cast<unsigned>(f.tag));
        return std::string("samples in WAV format ") + tag + ", which cannot be read (PCM and float can)";
    }
    if (f.channels != 1 && f.channels != 2) {
        return std::to_string(f.channels) + " channels (mono and stereo can be read)";
    }
    if (f.rate < MIN_SOUND_RATE || f.rate > MAX_SOUND_RATE) return "a rate of " + std::to_string(f.rate) + " Hz";
    const bool pcmBits = f.bits == 8 || f.bits == 16 || f.bits == 24 || f.bits == 32;
    if (f.tag == FORMAT_PCM ? !pcmBits : f.bits != 32) {
        return std::to_string(f.bits) + "-bit " + (f.tag == FORMAT_PCM ? "PCM" : "float") +
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

float SampleAt(const uint8_t* p, const TWavFormat& f) {
    switch (f.bits) {
    case 8:
        return (static_cast<int32_t>(p[0]) - 128) / 128.0f;
    case 16:
        return static_cast<int16_t>(LoadLittleEndian<uint16_t>(p)) / 32768.0f;
    case 24:
        return static_cast<int32_t>(LoadLittleEndian<uint32_t>(p - 1) & 0xFFFFFF00u) / 2147483648.0f;
    default:
        if (f.tag == FORMAT_FLOAT) {
            const float value = BitCast<float>(LoadLittleEndian<uint32_t>(p));
            return std::isfinite(value) ? value : 0.0f;
        }
        return static_cast<int32_t>(LoadLittleEndian<uint32_t>(p)) / 2147483648.0f;
    }
}

Ref<TSound> ReadSamples(TStream& stream, const TWavFormat& f, uint32_t size, int32_t start) {
    const int32_t frameBytes = f.blockAlign;
    const int64_t frames = size / frameBytes;
    if (frames == 0) {
        NoteSoundFailure("no samples");
        return nullptr;
    }
    if (!SoundFitsMemoryLimit(frames, f.channels)) {
        NoteSoundFailure(std::to_string(frames) + " frames, over the sound memory limit");
        return nullptr;
    }
    // The samples grow as they come, so a size claimed by a short file costs nothing.
    std::vector<float> samples;
    // One byte before the frames, so that a 24-bit sample reads as the top of a 32-bit word.
    std::vector<uint8_t> bytes(1 + static_cast<size_t>(CHUNK_FRAMES) * frameBytes);
    const int32_t bytesPerSample = f.bits / 8;
    for (int64_t left = frames; left > 0;) {
        const auto count = static_cast<int32_t>(std::min<int64_t>(left, CHUNK_FRAMES));
        if (ReadUpTo(stream, bytes.data() + 1, count * frameBytes) < count * frameBytes) {
            NoteSoundFailure(TruncatedCause(stream.Position() - start));
            return nullptr;
        }
        for (int32_t i = 0; i < count * f.channels; ++i) {
            samples.push_back(SampleAt(bytes.data() + 1 + i * bytesPerSample, f));
        }
        left -= count;
    }
    Ref<TSound> sound = MakeSound(static_cast<int32_t>(f.rate), f.channels, std::move(samples));
    if (!sound) NoteSoundFailure(LastFailureUtf8());
    return sound;
}

}  // namespace

Ref<TSound> TSoundLoaderWAV::LoadFromStream(const Ref<TStream>& stream) {
    const int32_t start = stream->Position();
    std::array<uint8_t, 12> header{};
    const int32_t got = ReadUpTo(*stream, header.data(), 12);
    if (got < 4 || std::memcmp(header.data(), "RIFF", 4) != 0) return nullptr;
    if (got < 12) {
        NoteSoundFailure(TruncatedCause(got));
        return nullptr;
    }
    if (std::memcmp(&header[8], "WAVE", 4) != 0) return nullptr;
    std::optional<TWavFormat> format;
    for (;;) {
        std::array<uint8_t, 8> chunk{};
        if (ReadUpTo(*stream, chunk.data(), 8) < 8) {
            NoteSoundFailure(TruncatedCause(stream->Position() - start));
            return nullptr;
        }
        const uint32_t size = LoadLittleEndian<uint32_t>(&chunk[4]);
        if (std::memcmp(chunk.data(), "fmt ", 4) == 0) {
            format = ReadFormat(*stream, size, start);
            if (!format) return nullptr;
        } else if (std::memcmp(chunk.data(), "data", 4) == 0) {
            if (!format) {
                NoteSoundFailure("samples before their format");
                return nullptr;
            }
            return ReadSamples(*stream, *format, size, start);
        } else if (!SkipExactly(*stream, int64_t{size} + (size & 1))) {
            NoteSoundFailure(TruncatedCause(stream->Position() - start));
            return nullptr;
        }
    }
}

}  // namespace qrv
