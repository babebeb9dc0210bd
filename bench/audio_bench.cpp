#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "audio/api.h"
#include "core/failure.h"

// The mixer with 32 looping stereo sounds at the device's rate of 48 kHz, beside a plain loop that
// sums the same samples with a volume and clips them: the ratio of the two is what the mixer's
// channels, interpolation, pan and command queue cost. Each iteration makes one second of sound,
// so the "core_share" counter is the share of one core that mixing in real time takes.
namespace {

constexpr int32_t kRate = 48000;
constexpr int32_t kChannels = 32;
constexpr int32_t kSoundFrames = kRate / 2;  // half a second, so every sound loops twice
constexpr float kVolume = 1.0f / kChannels;

std::vector<float> StereoSine(double hertz) {
    std::vector<float> samples(static_cast<size_t>(kSoundFrames) * 2);
    for (int32_t i = 0; i < kSoundFrames; ++i) {
        const double phase = 2 * 3.141592653589793 * hertz * i / kRate;
        samples[2 * static_cast<size_t>(i)] = static_cast<float>(0.8 * std::sin(phase));
        samples[2 * static_cast<size_t>(i) + 1] = static_cast<float>(0.8 * std::cos(phase));
    }
    return samples;
}

const std::vector<std::vector<float>>& Sources() {
    static const std::vector<std::vector<float>> sources = [] {
        std::vector<std::vector<float>> made;
        for (int32_t c = 0; c < kChannels; ++c) made.push_back(StereoSine(110.0 + 37.0 * c));
        return made;
    }();
    return sources;
}

benchmark::Counter CoreShare() {
    // Seconds of processor time per second of sound made.
    return benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate |
                                       benchmark::Counter::kInvert);
}

void BM_Mixer32StereoChannels(benchmark::State& state) {
    qrv::InitAudioModule();
    if (!qrv::OpenAudio("memory", {kRate, 1024})) {
        state.SkipWithError(qrv::LastFailureUtf8().c_str());
        return;
    }
    auto driver = std::dynamic_pointer_cast<qrv::TMemoryAudioDriver>(qrv::CurrentAudioDriver());
    for (const std::vector<float>& samples : Sources()) {
        const qrv::Ref<qrv::TSound> sound = qrv::MakeSound(kRate, 2, samples);
        if (qrv::PlaySound(sound, qrv::PLAY_LOOPING, kVolume) == qrv::NO_CHANNEL) {
            state.SkipWithError("a channel refused the sound");
            return;
        }
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(driver->MixFrames(kRate).data());
    }
    state.counters["core_share"] = CoreShare();
    qrv::CloseAudio();
}
BENCHMARK(BM_Mixer32StereoChannels)->Unit(benchmark::kMillisecond);

// The peer: the same samples summed with the same volume, a source at a time into the output
// (the order that keeps a loop over contiguous floats), then clipped; no channels, interpolation
// or pan.
void BM_PlainSum32StereoChannels(benchmark::State& state) {
    const std::vector<std::vector<float>>& sources = Sources();
    std::vector<float> output(static_cast<size_t>(kRate) * 2);
    const size_t length = sources.front().size();
    size_t position = 0;
    for (auto _ : state) {
        std::fill(output.begin(), output.end(), 0.0f);
        for (const std::vector<float>& source : sources) {
            size_t from = position;
            for (size_t done = 0; done < output.size();) {
                const size_t run = std::min(output.size() - done, length - from);
                for (size_t i = 0; i < run; ++i) output[done + i] += source[from + i] * kVolume;
                done += run;
                from = (from + run) % length;
            }
        }
        for (float& sample : output) sample = std::clamp(sample, -1.0f, 1.0f);
        position = (position + output.size()) % length;
        benchmark::DoNotOptimize(output.data());
    }
    state.counters["core_share"] = CoreShare();
}
BENCHMARK(BM_PlainSum32StereoChannels)->Unit(benchmark::kMillisecond);

}  // namespace
