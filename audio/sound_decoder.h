#pragma once

#include <cstdint>

#include "core/object.h"

namespace qrv {

// A sound decoded a block at a time, from a stream the decoder holds open: how music plays
// without being held whole in memory. The loaders (sound_loader.h) open decoders for the files
// they know; a program may write its own (a synthesiser, say) and play it as music.
// A decoder is used by one thread at a time.
class TSoundDecoder : public TObject {
public:
    // Frames a second, within MIN_SOUND_RATE..MAX_SOUND_RATE (sound.h).
    [[nodiscard]] virtual int32_t Rate() const = 0;
    // 1 for mono, 2 for stereo (left first).
    [[nodiscard]] virtual int32_t Channels() const = 0;
    // The number of frames in the whole sound, or -1 when the decoder cannot know it.
    [[nodiscard]] virtual int64_t Frames() const = 0;
    // Decodes the next frames, at most `frames` of them, into out (frames x Channels() floats,
    // interleaved, nominally -1..1) and gives how many came: 0 at the end of the sound, -1 when
    // the data is damaged or cannot be read (LastFailure, core/failure.h, says why); after -1 the
    // decoder gives no more.
    [[nodiscard]] virtual int64_t Read(float* out, int64_t frames) = 0;
    // Goes back to the first frame, for music that repeats; false when it cannot.
    [[nodiscard]] virtual bool Rewind() = 0;
};

}  // namespace qrv
