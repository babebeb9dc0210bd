#pragma once

#include <vector>

#include "audio/sound_decoder.h"
#include "audio/wav_header.h"
#include "stream/stream.h"
#include "stream/stream_closer.h"

namespace qrv {

// The samples of a RIFF WAVE file read a block at a time from its stream and converted to floats:
// 8-bit PCM is unsigned, 16, 24 and 32-bit signed, all scaled so that full scale is -1..1; float
// samples that are not finite read as 0. Data that ends before the frames its chunk claims gives
// the frames that came, then -1 with "truncated after N bytes" (counted from where the header
// started). Rewind needs a stream that seeks.
class TWavDecoder final : public TSoundDecoder {
public:
    // A decoder over the stream, positioned at the first sample of the header read from `start`;
    // it closes the stream when it goes if `closesStream`.
    TWavDecoder(Ref<TStream> stream, const TWavHeader& header, int32_t start, bool closesStream);

    [[nodiscard]] int32_t Rate() const override { return static_cast<int32_t>(header.format.rate); }
    [[nodiscard]] int32_t Channels() const override { return header.format.channels; }
    [[nodiscard]] int64_t Frames() const override { return header.frames; }
    [[nodiscard]] int64_t Read(float* out, int64_t frames) override;
    [[nodiscard]] bool Rewind() override;

private:
    // Reads and converts up to `count` frames, at most a buffer's worth; gives how many came.
    int32_t ReadBlock(float* out, int32_t count);

    Ref<TStream> stream;
    TStreamCloser closer;
    TWavHeader header;
    int32_t start;
    int64_t framesLeft;
    // One byte before the frames, so that a 24-bit sample reads as the top of a 32-bit word.
    std::vector<uint8_t> bytes;
    // The cause Read gives once the data failed; empty while it has not.
    std::string failure;
};

}  // namespace qrv
