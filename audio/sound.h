#pragma once

#include <cstdint>
#include <vector>

#include "core/object.h"

namespace qrv {

// A sound held whole in memory: frames of one (mono) or two (stereo, left first) float samples,
// nominally within -1..1, played at `rate` frames a second. Its samples never change once made,
// so the mixer reads them while the program holds the sound. MakeSound and the sound loaders
// (LoadSound, sound_loader.h) make sounds.
class TSound final : public TObject {
public:
    // Frames a second.
    int32_t Rate() const { return rate; }
    // 1 for mono, 2 for stereo.
    int32_t Channels() const { return channels; }
    // The number of frames; at least 1.
    int64_t Frames() const { return static_cast<int64_t>(samples.size()) / channels; }
    // The samples, Frames() x Channels() of them, interleaved.
    const std::vector<float>& Samples() const { return samples; }
    // The length in seconds.
    double Seconds() const { return static_cast<double>(Frames()) / rate; }

private:
    // Made by MakeSound alone, which checks what it is given, so that every sound can be played.
    TSound(int32_t rate, int32_t channels, std::vector<float> samples);
    friend Ref<TSound> MakeSound(int32_t rate, int32_t channels, std::vector<float> samples);

    const int32_t rate;
    const int32_t channels;
    const std::vector<float> samples;
};

// The rates a sound may have, in frames a second.
inline constexpr int32_t MIN_SOUND_RATE = 100;
inline constexpr int32_t MAX_SOUND_RATE = 768000;

// Sounds come from wherever a URL reaches, so the loaders bound what one sound may cost: a sound
// whose samples as floats (frames x channels x 4 bytes) exceed the limit is refused before its
// samples are read. The default, 256 MiB, holds about 11 minutes of stereo at 48 kHz; longer
// music is for streaming. The program may move it.
inline constexpr int64_t DEFAULT_SOUND_MEMORY_LIMIT = int64_t{256} << 20;
// SetSoundMemoryLimit sets the limit in bytes (a negative one counts as 0); SoundMemoryLimit
// gives it.
void SetSoundMemoryLimit(int64_t bytes);
int64_t SoundMemoryLimit();
// True when a sound of this many frames and channels is within the limit.
bool SoundFitsMemoryLimit(int64_t frames, int32_t channels);

// A sound over the samples (interleaved when stereo); samples that are not finite become 0.
// None when the channels are not 1 or 2, the rate is outside MIN_SOUND_RATE..MAX_SOUND_RATE,
// there is no whole frame, the count is not a whole number of frames, or the sound is over the
// memory limit; LastFailure (core/failure.h) then says which.
[[nodiscard]] Ref<TSound> MakeSound(int32_t rate, int32_t channels, std::vector<float> samples);

}  // namespace qrv
