#include "audio/sound.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/failure.h"

namespace qrv {

namespace {

int64_t soundMemoryLimit = DEFAULT_SOUND_MEMORY_LIMIT;

}  // namespace

TSound::TSound(int32_t rate, int32_t channels, std::vector<float> samples)
    : rate(rate), channels(channels), samples(std::move(samples)) {}

void SetSoundMemoryLimit(int64_t bytes) { soundMemoryLimit = std::max<int64_t>(bytes, 0); }

int64_t SoundMemoryLimit() { return soundMemoryLimit; }

bool SoundFitsMemoryLimit(int64_t frames, int32_t channels) {
    if (frames < 0 || channels < 1) return false;
    // Divided rather than multiplied, so that no claimed size can overflow.
    return frames <= soundMemoryLimit / 4 / channels;
}

Ref<TSound> MakeSound(int32_t rate, int32_t channels, std::vector<float> samples) {
    const auto refuse = [](const std::string& why) {
        SetLastFailure("could not make a sound: " + why);
        return nullptr;
    };
    if (channels != 1 && channels != 2) return refuse(std::to_string(channels) + " channels (1 or 2 can play)");
    if (rate < MIN_SOUND_RATE || rate > MAX_SOUND_RATE) return refuse("a rate of " + std::to_string(rate) + " Hz");
    if (samples.size() < static_cast<size_t>(channels)) return refuse("no samples");
    if (samples.size() % channels != 0) return refuse("the samples are not whole frames");
    const auto frames = static_cast<int64_t>(samples.size() / channels);
    if (!SoundFitsMemoryLimit(frames, channels)) return refuse("over the sound memory limit");
    for (float& sample : samples) {
        if (!std::isfinite(sample)) sample = 0.0f;
    }
    return Ref<TSound>(new TSound(rate, channels, std::move(samples)));
}

}  // namespace qrv
