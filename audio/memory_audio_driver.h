#pragma once

#include <vector>

#include "audio/audio_driver.h"

namespace qrv {

// A driver without a sound card or a thread, for tests and programs that render sound
// themselves: nothing is mixed until MixFrames asks, on the caller's thread. It always opens, with
// the format wanted; the audio module opens it only by its name, "memory".
class TMemoryAudioDriver final : public TAudioDriver {
public:
    [[nodiscard]] bool Open(const TAudioFormat& wanted, TAudioFormat& got) override;
    void Start(TAudioSource& source) override;
    void Close() override;

    // Mixes `frames` frames, one buffer of the opened format at a time as a sound card would pull
    // them, and gives them: 2 x frames floats, left first. Empty while the driver is not started.
    const std::vector<float>& MixFrames(int32_t frames);
    // What the last MixFrames gave.
    const std::vector<float>& Output() const { return output; }

private:
    TAudioSource* source = nullptr;
    TAudioFormat format;
    std::vector<float> output;
};

}  // namespace qrv
