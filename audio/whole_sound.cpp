#include "audio/whole_sound.h"

#include <string>
#include <vector>

#include "audio/sound_loader.h"
#include "core/failure.h"

namespace qrv {

namespace {

// Frames asked of the decoder at a time.
constexpr int64_t BLOCK_FRAMES = 16384;

Ref<TSound> OverTheLimit(const std::string& frames) {
    NoteSoundFailure(frames + " frames, over the sound memory limit");
    return nullptr;
}

}  // namespace

Ref<TSound> DecodeWholeSound(TSoundDecoder& decoder) {
    const int32_t channels = decoder.Channels();
    const int64_t claimed = decoder.Frames();
    if (claimed >= 0 && !SoundFitsMemoryLimit(claimed, channels)) return OverTheLimit(std::to_string(claimed));
    // The samples grow as they come, so a length claimed by a short file costs nothing.
    std::vector<float> samples;
    for (int64_t frames = 0;;) {
        samples.resize(static_cast<size_t>((frames + BLOCK_FRAMES) * channels));
        const int64_t got = decoder.Read(samples.data() + frames * channels, BLOCK_FRAMES);
        if (got < 0) {
            NoteSoundFailure(LastFailureUtf8());
            return nullptr;
        }
        frames += got;
        samples.resize(static_cast<size_t>(frames * channels));
        if (got == 0) break;
        // A decoder that gives more than it claimed, or claims nothing, is stopped here.
        if (!SoundFitsMemoryLimit(frames, channels)) return OverTheLimit("at least " + std::to_string(frames));
    }
    if (samples.empty()) {
        NoteSoundFailure("no samples");
        return nullptr;
    }
    Ref<TSound> sound = MakeSound(decoder.Rate(), channels, std::move(samples));
    if (!sound) NoteSoundFailure(LastFailureUtf8());
    return sound;
}

}  // namespace qrv
