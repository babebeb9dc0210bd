#include "audio/wav_decoder.h"

#include <algorithm>
#include <cmath>

#include "audio/decoder_reading.h"
#include "core/bit_cast.h"
#include "core/byte_order.h"
#include "core/failure.h"
#include "stream/url_failure.h"

namespace qrv {

namespace {

// Frames read from the stream at a time.
constexpr int32_t BLOCK_FRAMES = 4096;

float SampleAt(const uint8_t* p, const TWavFormat& f) {
    switch (f.bits) {
    case 8:
        return (static_cast<int32_t>(p[0]) - 128) / 128.0f;
    case 16:
        return static_cast<int16_t>(LoadLittleEndian<uint16_t>(p)) / 32768.0f;
    case 24:
        return static_cast<int32_t>(LoadLittleEndian<uint32_t>(p - 1) & 0xFFFFFF00u) / 2147483648.0f;
    default:
        if (f.tag == WAV_FORMAT_FLOAT) {
            const float value = BitCast<float>(LoadLittleEndian<uint32_t>(p));
            return std::isfinite(value) ? value : 0.0f;
        }
        return static_cast<int32_t>(LoadLittleEndian<uint32_t>(p)) / 2147483648.0f;
    }
}

}  // namespace

TWavDecoder::TWavDecoder(Ref<TStream> from, const TWavHeader& wavHeader, int32_t headerStart, bool closesStream)
    : stream(std::move(from)),
      closer(closesStream ? stream : nullptr),
      header(wavHeader),
      start(headerStart),
      framesLeft(wavHeader.frames),
      bytes(1 + static_cast<size_t>(BLOCK_FRAMES) * wavHeader.format.blockAlign) {}

int32_t TWavDecoder::ReadBlock(float* out, int32_t count) {
    const int32_t frameBytes = header.format.blockAlign;
    const int32_t got = ReadUpTo(*stream, bytes.data() + 1, count * frameBytes, &failure);
    const int32_t frames = got / frameBytes;
    if (frames < count && failure.empty()) {
        const int64_t samplesRead = (header.frames - framesLeft) * frameBytes + got;
        failure = TruncatedCause(header.dataOffset + samplesRead);
    }
    const int32_t bytesPerSample = header.format.bits / 8;
    for (int32_t i = 0; i < frames * header.format.channels; ++i) {
        out[i] = SampleAt(bytes.data() + 1 + i * bytesPerSample, header.format);
    }
    framesLeft -= frames;
    return frames;
}

int64_t TWavDecoder::Read(float* out, int64_t frames) {
    int64_t done = 0;
    while (failure.empty() && done < frames && framesLeft > 0) {
        const auto count = static_cast<int32_t>(std::min<int64_t>({frames - done, framesLeft, BLOCK_FRAMES}));
        done += ReadBlock(out + done * header.format.channels, count);
    }
    if (done > 0 || failure.empty()) return done;
    SetLastFailure(std::string_view(failure));
    return -1;
}

bool TWavDecoder::Rewind() {
    const int64_t first = int64_t{start} + header.dataOffset;
    try {
        if (start < 0 || stream->Seek(static_cast<int32_t>(first)) != first) return false;
    } catch (const std::exception&) {
        return false;
    }
    framesLeft = header.frames;
    failure.clear();
    return true;
}

}  // namespace qrv
