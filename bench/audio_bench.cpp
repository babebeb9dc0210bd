#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "audio/api.h"
#include "audio/mixer.h"
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

// Music against a sound: the same stereo samples at 44.1 kHz, looping, resampled to 48 kHz on one
// voice. The music is decoded (here a copy from memory, so that the decoder itself costs next to
// nothing) into its ring and read from there; the sound is read where it lies. The ratio of the
// two is what streaming through the ring costs over a sound held whole. Both count the processor
// time of every thread, so decoding counts wherever it ran.
namespace {

constexpr int32_t kMusicRate = 44100;
constexpr int64_t kPiece = 8192;  // output frames mixed between top-ups, well within a ring

const std::vector<float>& MusicSamples() {
    static const std::vector<float> samples = [] {
        std::vector<float> made(static_cast<size_t>(kMusicRate) * 2);
        for (int32_t i = 0; i < kMusicRate; ++i) {
            const double phase = 2 * 3.141592653589793 * 440.0 * i / kMusicRate;
            made[2 * static_cast<size_t>(i)] = static_cast<float>(0.5 * std::sin(phase));
            made[2 * static_cast<size_t>(i) + 1] = static_cast<float>(0.5 * std::cos(phase));
        }
        return made;
    }();
    return samples;
}

class TMemoryDecoder final : public qrv::TSoundDecoder {
public:
    int32_t Rate() const override { return kMusicRate; }
    int32_t Channels() const override { return 2; }
    int64_t Frames() const override { return kMusicRate; }
    int64_t Read(float* out, int64_t frames) override {
        const int64_t count = std::min<int64_t>(frames, kMusicRate - position);
        std::copy_n(MusicSamples().begin() + 2 * position, 2 * count, out);
        position += count;
        return count;
    }
    bool Rewind() override {
        position = 0;
        return true;
    }

private:
    int64_t position = 0;
};

// Mixes one second, in pieces, topping the rings up on this thread before each.
void MixOneSecond(qrv::TMemoryAudioDriver& driver) {
    for (int64_t done = 0; done < kRate; done += kPiece) {
        qrv::TheMixer().TopUpMusic();
        const auto frames = static_cast<int32_t>(std::min<int64_t>(kPiece, kRate - done));
        benchmark::DoNotOptimize(driver.MixFrames(frames).data());
    }
}

qrv::Ref<qrv::TMemoryAudioDriver> OpenMemoryAudio(benchmark::State& state) {
    qrv::InitAudioModule();
    if (!qrv::OpenAudio("memory", {kRate, 1024})) {
        state.SkipWithError(qrv::LastFailureUtf8().c_str());
        return nullptr;
    }
    return std::dynamic_pointer_cast<qrv::TMemoryAudioDriver>(qrv::CurrentAudioDriver());
}

void BM_MusicStereo44kOn48k(benchmark::State& state) {
    const auto driver = OpenMemoryAudio(state);
    if (!driver) return;
    if (!qrv::PlayMusic(std::make_shared<TMemoryDecoder>())) {
        state.SkipWithError(qrv::LastFailureUtf8().c_str());
        return;
    }
    for (auto _ : state) MixOneSecond(*driver);
    state.counters["core_share"] = CoreShare();
    qrv::CloseAudio();
}
BENCHMARK(BM_MusicStereo44kOn48k)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

// The peer: the same samples as a sound, looping on one channel.
void BM_SoundStereo44kOn48k(benchmark::State& state) {
    const auto driver = OpenMemoryAudio(state);
    if (!driver) return;
    const qrv::Ref<qrv::TSound> sound = qrv::MakeSound(kMusicRate, 2, MusicSamples());
    if (qrv::PlaySound(sound, qrv::PLAY_LOOPING) == qrv::NO_CHANNEL) {
        state.SkipWithError(qrv::LastFailureUtf8().c_str());
        return;
    }
    for (auto _ : state) MixOneSecond(*driver);
    state.counters["core_share"] = CoreShare();
    qrv::CloseAudio();
}
BENCHMARK(BM_SoundStereo44kOn48k)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

}  // namespace
