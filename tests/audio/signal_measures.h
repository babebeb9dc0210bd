#pragma once

// The output the mixer tests open, and measures of mixed output: interleaved stereo, left first.
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/audio_module.h"
#include "audio/memory_audio_driver.h"

namespace qrv::test {

constexpr double PI = 3.14159265358979323846;
constexpr int32_t DEVICE_RATE = 48000;
constexpr int32_t BUFFER = 256;

// Opens the memory driver at DEVICE_RATE in buffers of BUFFER frames; none when it does not open
// (LastFailure says why).
inline Ref<TMemoryAudioDriver> OpenMemoryOutput() {
    InitAudioModule();
    if (!OpenAudio("memory", {DEVICE_RATE, BUFFER})) return nullptr;
    return std::dynamic_pointer_cast<TMemoryAudioDriver>(CurrentAudioDriver());
}

// One side of interleaved stereo: 0 left, 1 right.
inline std::vector<float> Side(const std::vector<float>& stereo, int side) {
    std::vector<float> one;
    for (size_t i = side; i < stereo.size(); i += 2) one.push_back(stereo[i]);
    return one;
}

inline double Rms(const std::vector<float>& samples) {
    double sum = 0;
    for (float s : samples) sum += double{s} * s;
    return samples.empty() ? 0 : std::sqrt(sum / samples.size());
}

inline int RisingZeroCrossings(const std::vector<float>& samples) {
    int count = 0;
    for (size_t i = 1; i < samples.size(); ++i) count += samples[i - 1] < 0 && samples[i] >= 0;
    return count;
}

// The number of frames up to and including the last one with sound on either side.
inline int64_t SoundingFrames(const std::vector<float>& stereo) {
    for (size_t i = stereo.size(); i > 0; --i) {
        if (stereo[i - 1] != 0.0f) return static_cast<int64_t>((i - 1) / 2 + 1);
    }
    return 0;
}

}  // namespace qrv::test
