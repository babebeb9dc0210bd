#pragma once

#include "audio/sound_loader.h"

namespace qrv {

// RIFF WAVE sounds: PCM of 8 bits (unsigned), 16, 24 and 32 bits (signed), and 32-bit float, in
// the plain and the extensible format chunk; mono and stereo; any rate within MIN_SOUND_RATE..
// MAX_SOUND_RATE. Chunks other than the format and the samples are skipped (an odd size padded
// by one byte); whatever follows the samples is not read. Loaded whole or read a block at a time
// by a decoder (TWavDecoder, wav_decoder.h), which converts the samples the same way.
class TSoundLoaderWAV final : public TSoundLoader {
public:
    [[nodiscard]] Ref<TSound> LoadFromStream(const Ref<TStream>& stream) override;
    [[nodiscard]] Ref<TSoundDecoder> OpenDecoder(const Ref<TStream>& stream) override;
};

}  // namespace qrv
