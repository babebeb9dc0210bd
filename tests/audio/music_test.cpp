// Music on the memory driver, from decoders written here as a program would write its own: what
// comes out, sample by sample, for fades, repeats, pauses and decoders that fail.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "audio/audio_module.h"
#include "audio/memory_audio_driver.h"
#include "audio/mixer.h"
#include "audio/music.h"
#include "audio/sound_channels.h"
#include "core/failure.h"
#include "tests/audio/signal_measures.h"

namespace {

using namespace qrv;
using namespace qrv::test;

// A decoder over a formula: `frames` frames (-1 for no end), sample(frame, channel) each.
class TFormulaDecoder final : public TSoundDecoder {
public:
    using TFormula = std::function<float(int64_t frame, int32_t channel)>;
    TFormulaDecoder(int32_t rate, int32_t channels, int64_t frames, TFormula formula)
        : rate(rate), channels(channels), frames(frames), formula(std::move(formula)) {}

    int32_t Rate() const override { return rate; }
    int32_t Channels() const override { return channels; }
    int64_t Frames() const override { return frames; }
    int64_t Read(float* out, int64_t wanted) override {
        if (failAt >= 0 && position >= failAt) {
            if (throws) throw std::runtime_error("Error reading from stream");
            SetLastFailure(std::string_view("the decoder's data is damaged"));
            return -1;
        }
        int64_t count = frames < 0 ? wanted : std::min(wanted, frames - position);
        if (failAt >= 0) count = std::min(count, failAt - position);
        for (int64_t f = 0; f < count; ++f) {
            for (int32_t c = 0; c < channels; ++c) *out++ = formula(position + f, c);
        }
        position += count;
        return count;
    }
    bool Rewind() override {
        ++rewinds;
        if (!rewindable) return false;
        position = 0;
        return true;
    }

    bool rewindable = true;
    int64_t failAt = -1;  // the frame where Read starts giving -1
    bool throws = false;  // or throwing, as a stream does when its read fails
    std::atomic<int> rewinds{0};

private:
    const int32_t rate;
    const int32_t channels;
    const int64_t frames;
    const TFormula formula;
    int64_t position = 0;
};

Ref<TFormulaDecoder> Constant(float value, int64_t frames = -1) {
    return std::make_shared<TFormulaDecoder>(DEVICE_RATE, 1, frames, [value](int64_t, int32_t) { return value; });
}

Ref<TFormulaDecoder> StereoConstant(float left, float right) {
    return std::make_shared<TFormulaDecoder>(DEVICE_RATE, 2, -1,
                                             [=](int64_t, int32_t c) { return c == 0 ? left : right; });
}

// Frame i is (i + 1) / 65536: exact in floats, so a gap or a repeat shows in the output.
Ref<TFormulaDecoder> Ramp(int64_t frames) {
    return std::make_shared<TFormulaDecoder>(DEVICE_RATE, 1, frames,
                                             [](int64_t i, int32_t) { return static_cast<float>(i + 1) / 65536; });
}

float RampAt(int64_t frame) { return static_cast<float>(frame + 1) / 65536; }

// A decoder slower than real time: after its first `frames` frames, Read waits until Open.
class TGatedDecoder final : public TSoundDecoder {
public:
    explicit TGatedDecoder(int64_t frames) : ramp(Ramp(-1)), framesBeforeGate(frames) {}
    ~TGatedDecoder() override { Open(); }

    void Open() {
        const std::lock_guard lock(mutex);
        open = true;
        opened.notify_all();
    }
    int32_t Rate() const override { return DEVICE_RATE; }
    int32_t Channels() const override { return 1; }
    int64_t Frames() const override { return -1; }
    int64_t Read(float* out, int64_t wanted) override {
        if (given >= framesBeforeGate) {
            std::unique_lock lock(mutex);
            opened.wait(lock, [this] { return open; });
        }
        const int64_t count = given < framesBeforeGate ? std::min(wanted, framesBeforeGate - given) : wanted;
        given += count;
        return ramp->Read(out, count);
    }
    bool Rewind() override { return false; }

private:
    const Ref<TFormulaDecoder> ramp;
    const int64_t framesBeforeGate;
    int64_t given = 0;
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
};

class Music : public ::testing::Test {
protected:
    void SetUp() override {
        driver = OpenMemoryOutput();
        ASSERT_NE(driver, nullptr) << LastFailureUtf8();
        underrunsBefore = TheMixer().MusicUnderruns();
    }
    void TearDown() override {
        EXPECT_EQ(TheMixer().MusicUnderruns(), underrunsBefore) << "the rings were topped up before mixing";
        CloseAudio();
        SetMasterVolume(1.0f);
    }

    // Mixes in pieces well within a ring, each after the rings were topped up, so that the output
    // does not depend on how fast the decoding thread is.
    std::vector<float> Mix(int64_t frames) {
        std::vector<float> out;
        for (int64_t done = 0; done < frames;) {
            const auto piece = static_cast<int32_t>(std::min<int64_t>(frames - done, 8192));
            TheMixer().TopUpMusic();
            const std::vector<float>& mixed = driver->MixFrames(piece);
            out.insert(out.end(), mixed.begin(), mixed.end());
            done += piece;
        }
        return out;
    }

    Ref<TMemoryAudioDriver> driver;
    int64_t underrunsBefore = 0;
};

TEST_F(Music, ComesOutAtItsFrequencyAndLevelAfterResampling) {
    // One second of 1 kHz at 44.1 kHz: one second at 48 kHz, with the pitch and the level kept,
    // on both sides for mono.
    auto sine = std::make_shared<TFormulaDecoder>(44100, 1, 44100, [](int64_t i, int32_t) {
        return static_cast<float>(0.5 * std::sin(2 * PI * 1000 * static_cast<double>(i) / 44100));
    });
    ASSERT_TRUE(PlayMusic(sine, 1)) << LastFailureUtf8();
    const std::vector<float> out = Mix(DEVICE_RATE + 2000);
    for (int side : {0, 1}) {
        const std::vector<float> one = Side(out, side);
        EXPECT_NEAR(RisingZeroCrossings(one), 1000, 1);
        EXPECT_NEAR(Rms(std::vector<float>(one.begin(), one.begin() + DEVICE_RATE)), 0.5 / std::sqrt(2.0), 0.002);
    }
    EXPECT_NEAR(static_cast<double>(SoundingFrames(out)), DEVICE_RATE, 2);
    EXPECT_FALSE(MusicIsPlaying());
    EXPECT_EQ(sine.use_count(), 1) << "the music let go of its decoder once it ended";
    // Stereo keeps its sides.
    ASSERT_TRUE(PlayMusic(StereoConstant(0.25f, -0.5f)));
    const std::vector<float> stereo = Mix(BUFFER);
    EXPECT_EQ(Side(stereo, 0), std::vector<float>(BUFFER, 0.25f));
    EXPECT_EQ(Side(stereo, 1), std::vector<float>(BUFFER, -0.5f));
}

TEST_F(Music, FadesInLinearlyFromSilence) {
    ASSERT_TRUE(PlayMusic(Constant(0.5f), PLAY_LOOPING, 0.1f));
    const std::vector<float> left = Side(Mix(6000), 0);
    const int64_t fade = DEVICE_RATE / 10;
    EXPECT_EQ(left[0], 0.0f);
    EXPECT_NEAR(left[fade / 2], 0.25f, 1e-4) << "half the level at half the fade";
    for (int64_t f = 1; f < fade; ++f) ASSERT_NEAR(left[f] - left[f - 1], 0.5 / fade, 1e-6) << "frame " << f;
    for (int64_t f = fade; f < 6000; ++f) ASSERT_EQ(left[f], 0.5f) << "frame " << f;
}

TEST_F(Music, FadesOutThenEndsAndLetsGoOfItsDecoder) {
    const Ref<TFormulaDecoder> decoder = Constant(0.5f);
    ASSERT_TRUE(PlayMusic(decoder));
    Mix(1000);
    StopMusic(0.1f);
    EXPECT_TRUE(MusicIsPlaying()) << "while it fades out";
    const std::vector<float> left = Side(Mix(6000), 0);
    EXPECT_EQ(left[0], 0.5f);
    EXPECT_NEAR(left[2400], 0.25f, 1e-4);
    for (int64_t f = 1; f < 4800; ++f) ASSERT_LT(left[f], left[f - 1]) << "frame " << f;
    for (int64_t f = 4800; f < 6000; ++f) ASSERT_EQ(left[f], 0.0f) << "frame " << f;
    EXPECT_FALSE(MusicIsPlaying());
    EXPECT_EQ(decoder.use_count(), 1);
    // Without a fade it stops within one buffer.
    ASSERT_TRUE(PlayMusic(Constant(0.5f)));
    Mix(BUFFER);
    StopMusic();
    EXPECT_FALSE(MusicIsPlaying());
    EXPECT_EQ(SoundingFrames(Mix(BUFFER)), 0);
}

TEST_F(Music, ANewMusicCrossFadesWithTheOld) {
    // The old music on the left, the new on the right: one falls as the other rises.
    const Ref<TFormulaDecoder> old = StereoConstant(0.5f, 0.0f);
    ASSERT_TRUE(PlayMusic(old));
    Mix(1000);
    ASSERT_TRUE(PlayMusic(StereoConstant(0.0f, 0.5f), PLAY_LOOPING, 0.1f));
    const std::vector<float> out = Mix(6000);
    for (int64_t f = 0; f < 4800; f += 100) {
        ASSERT_NEAR(out[2 * f], 0.5 * (1 - f / 4800.0), 1e-4) << "frame " << f;
        ASSERT_NEAR(out[2 * f + 1], 0.5 * f / 4800.0, 1e-4) << "frame " << f;
    }
    EXPECT_EQ(out[2 * 5000], 0.0f);
    EXPECT_EQ(out[2 * 5000 + 1], 0.5f);
    EXPECT_TRUE(MusicIsPlaying());
    EXPECT_EQ(old.use_count(), 1) << "the old music was let go once it had faded out";
    // Without a fade the old music stops at once.
    ASSERT_TRUE(PlayMusic(StereoConstant(0.25f, 0.25f)));
    const std::vector<float> swapped = Mix(BUFFER);
    EXPECT_EQ(Side(swapped, 0), std::vector<float>(BUFFER, 0.25f));
    EXPECT_EQ(Side(swapped, 1), std::vector<float>(BUFFER, 0.25f));
}

TEST_F(Music, PlayingADecoderAgainTakesItFromItsOldMusic) {
    // One decoder read for two musics would interleave its blocks between them: the old music
    // stops, and the new one goes on from where the decoder is.
    const Ref<TFormulaDecoder> ramp = Ramp(-1);
    ASSERT_TRUE(PlayMusic(ramp));
    Mix(1000);
    ASSERT_TRUE(PlayMusic(ramp, PLAY_LOOPING, 0.01f));
    const std::vector<float> left = Side(Mix(2000), 0);
    EXPECT_EQ(left[0], 0.0f) << "the old music stopped at once";
    for (int64_t f = 600; f < 2000; ++f) ASSERT_EQ(left[f] - left[f - 1], RampAt(1) - RampAt(0)) << "frame " << f;
    EXPECT_GT(left[600], RampAt(1000)) << "the decoder was not rewound";
}

TEST_F(Music, RepeatsWithoutAGapOrARepeatedFrame) {
    // 3000 frames, not a whole number of decoded blocks, twice: 6000 frames, then silence.
    const Ref<TFormulaDecoder> twice = Ramp(3000);
    ASSERT_TRUE(PlayMusic(twice, 2));
    const std::vector<float> left = Side(Mix(7000), 0);
    for (int64_t f = 0; f < 6000; ++f) ASSERT_EQ(left[f], RampAt(f % 3000)) << "frame " << f;
    EXPECT_EQ(left[6000], 0.0f);
    EXPECT_FALSE(MusicIsPlaying());
    EXPECT_EQ(twice.use_count(), 1);
    // Played again where it ended, it starts over.
    ASSERT_TRUE(PlayMusic(twice)) << LastFailureUtf8();
    EXPECT_EQ(Mix(BUFFER)[0], RampAt(0));
    // Looping, many times over, still frame by frame.
    const Ref<TFormulaDecoder> looping = Ramp(1500);
    ASSERT_TRUE(PlayMusic(looping));
    const std::vector<float> loops = Side(Mix(40 * 1500), 0);
    for (int64_t f = 0; f < 40 * 1500; ++f) ASSERT_EQ(loops[f], RampAt(f % 1500)) << "frame " << f;
    EXPECT_GE(looping->rewinds.load(), 39);
    EXPECT_TRUE(MusicIsPlaying());
}

TEST_F(Music, ADecoderThatCannotRewindPlaysOnce) {
    const Ref<TFormulaDecoder> once = Ramp(2000);
    once->rewindable = false;
    ASSERT_TRUE(PlayMusic(once, PLAY_LOOPING));
    const std::vector<float> out = Mix(5000);
    EXPECT_EQ(SoundingFrames(out), 2000);
    EXPECT_EQ(out[2 * 1999], RampAt(1999));
    EXPECT_FALSE(MusicIsPlaying());
    EXPECT_EQ(once->rewinds.load(), 1);
    EXPECT_EQ(once.use_count(), 1);
}

TEST_F(Music, ADecoderThatFailsEndsTheMusicAfterWhatItGave) {
    for (bool throws : {false, true}) {
        const Ref<TFormulaDecoder> failing = Ramp(-1);
        failing->failAt = 5000;
        failing->throws = throws;
        ASSERT_TRUE(PlayMusic(failing));
        const std::vector<float> out = Mix(8000);
        EXPECT_EQ(SoundingFrames(out), 5000) << "throws " << throws;
        EXPECT_EQ(out[2 * 4999], RampAt(4999)) << "throws " << throws;
        EXPECT_FALSE(MusicIsPlaying());
        EXPECT_EQ(failing.use_count(), 1);
    }
}

TEST_F(Music, WhatCannotPlayIsRefusedWithAReason) {
    const auto refused = [](const Ref<TSoundDecoder>& decoder, const char* reason) {
        EXPECT_FALSE(PlayMusic(decoder));
        EXPECT_EQ(LastFailureUtf8(), reason);
    };
    refused(nullptr, "could not play music: no decoder was given");
    const Ref<TFormulaDecoder> broken = Ramp(-1);
    broken->failAt = 0;
    refused(broken, "could not play music: the decoder's data is damaged");
    broken->throws = true;
    refused(broken, "could not play music: Error reading from stream");
    refused(Ramp(0), "could not play music: the music has no frames");
    refused(std::make_shared<TFormulaDecoder>(DEVICE_RATE, 3, -1, [](int64_t, int32_t) { return 0.0f; }),
            "could not play music: 3 channels (mono and stereo can be played)");
    refused(std::make_shared<TFormulaDecoder>(50, 1, -1, [](int64_t, int32_t) { return 0.0f; }),
            "could not play music: a rate of 50 frames a second (100 to 768000 can be played)");
    EXPECT_FALSE(MusicIsPlaying());
    EXPECT_FALSE(PlayMusic(u"no-such-music.ogg"));
    EXPECT_NE(LastFailureUtf8().find("no-such-music.ogg"), std::string::npos) << LastFailureUtf8();
    // Samples that are not numbers become silence instead of spoiling the whole mix.
    ASSERT_TRUE(PlayMusic(Constant(NAN)));
    EXPECT_EQ(Mix(BUFFER), std::vector<float>(2 * BUFFER, 0.0f));
}

TEST_F(Music, PausesWhereItIsAndResumesFromThere) {
    ASSERT_TRUE(PlayMusic(Ramp(-1)));
    Mix(1000);
    PauseMusic();
    EXPECT_TRUE(MusicIsPlaying());
    EXPECT_EQ(Mix(BUFFER), std::vector<float>(2 * BUFFER, 0.0f));
    ResumeMusic();
    EXPECT_EQ(Mix(BUFFER)[0], RampAt(1000));
    // Stopped while paused, with a fade or not, it ends at once.
    PauseMusic();
    StopMusic(1.0f);
    EXPECT_FALSE(MusicIsPlaying());
    ResumeMusic();
    EXPECT_EQ(SoundingFrames(Mix(BUFFER)), 0);
}

TEST_F(Music, VolumeAndMasterVolumeAreHeardWithinOneBuffer) {
    ASSERT_TRUE(PlayMusic(Constant(0.5f), PLAY_LOOPING, 0.0f, 0.5f));
    EXPECT_EQ(Mix(BUFFER)[0], 0.25f);
    SetMusicVolume(1.0f);
    EXPECT_EQ(MusicVolume(), 1.0f);
    EXPECT_EQ(Mix(BUFFER)[0], 0.5f);
    SetMasterVolume(0.5f);
    EXPECT_EQ(Mix(BUFFER)[0], 0.25f);
    SetMasterVolume(1.0f);
    // A volume fade moves every sample, linearly.
    SetMusicVolume(0.0f, 0.1f);
    const std::vector<float> left = Side(Mix(6000), 0);
    EXPECT_NEAR(left[2400], 0.25f, 1e-4);
    for (int64_t f = 1; f < 4800; ++f) ASSERT_NEAR(left[f - 1] - left[f], 0.5 / 4800, 1e-6) << "frame " << f;
    EXPECT_EQ(left[5000], 0.0f);
    EXPECT_TRUE(MusicIsPlaying()) << "silent, but playing";
    SetMusicVolume(NAN);
    EXPECT_EQ(MusicVolume(), 0.0f);
}

TEST_F(Music, MissingFramesAreSilenceAndTheMusicGoesOnWhereItWas) {
    if constexpr (MUSIC_DECODES_WHILE_MIXING) GTEST_SKIP() << "without threads the mixer itself decodes";
    const auto slow = std::make_shared<TGatedDecoder>(MUSIC_BLOCK_FRAMES);
    // Opened however the test ends, so that closing audio does not wait for it for ever.
    const std::unique_ptr<TGatedDecoder, void (*)(TGatedDecoder*)> opener(slow.get(),
                                                                           [](TGatedDecoder* d) { d->Open(); });
    ASSERT_TRUE(PlayMusic(slow));
    // The decoding thread now waits in Read: what was decoded plays, then silence, and the mixer
    // does not wait. The last frame decoded waits for the next, which it is interpolated towards,
    // so the fourth buffer already runs one frame short, and the four after it are silent.
    const int64_t played = MUSIC_BLOCK_FRAMES - 1;
    const std::vector<float> starved = Side(driver->MixFrames(4 * BUFFER + MUSIC_BLOCK_FRAMES), 0);
    for (int64_t f = 0; f < played; ++f) ASSERT_EQ(starved[f], RampAt(f)) << "frame " << f;
    EXPECT_EQ(SoundingFrames(driver->Output()), played);
    EXPECT_EQ(TheMixer().MusicUnderruns() - underrunsBefore, 5);
    EXPECT_TRUE(MusicIsPlaying());
    slow->Open();
    const std::vector<float> fed = Side(Mix(BUFFER), 0);
    for (int64_t f = 0; f < BUFFER; ++f) ASSERT_EQ(fed[f], RampAt(played + f)) << "frame " << f;
    underrunsBefore = TheMixer().MusicUnderruns();
}

TEST_F(Music, WithoutThreadsTheMixerDecodesWhenARingRunsLow) {
    if constexpr (!MUSIC_DECODES_WHILE_MIXING) GTEST_SKIP() << "the decoding thread decodes here";
    // A saw tooth of ramps, each below full scale.
    const auto saw = [](int64_t i) { return RampAt(i % 50000); };
    const auto formula = [saw](int64_t i, int32_t) { return saw(i); };
    ASSERT_TRUE(PlayMusic(std::make_shared<TFormulaDecoder>(DEVICE_RATE, 1, -1, formula)));
    // Three seconds at once, several rings' worth, without a top-up from the test.
    const std::vector<float> left = Side(driver->MixFrames(3 * DEVICE_RATE), 0);
    for (int64_t f = 0; f < 3 * DEVICE_RATE; ++f) ASSERT_EQ(left[f], saw(f)) << "frame " << f;
}

TEST_F(Music, ClosingAudioWhileMusicPlaysEndsTheThreadAndLetsGo) {
    const Ref<TFormulaDecoder> decoder = Constant(0.5f);
    ASSERT_TRUE(PlayMusic(decoder, PLAY_LOOPING, 1.0f));
    Mix(BUFFER);
    EXPECT_EQ(TheMixer().MusicThreadRunning(), !MUSIC_DECODES_WHILE_MIXING);
    CloseAudio();
    EXPECT_FALSE(TheMixer().MusicThreadRunning());
    EXPECT_FALSE(MusicIsPlaying());
    EXPECT_EQ(decoder.use_count(), 1);
    EXPECT_FALSE(PlayMusic(decoder));
    EXPECT_EQ(LastFailureUtf8(), "could not play music: no audio is open");
    StopMusic();
    PauseMusic();
}

// Three threads at once: the program's, the decoding thread and SDL's audio thread.
TEST(MusicOnADevice, PlaysFadesAndEndsWhileTheDeviceMixesOnItsOwnThread) {
    InitAudioModule();
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!OpenAudio("sdl")) GTEST_SKIP() << "SDL has no dummy device here: " << LastFailureUtf8();
    const auto waitUntil = [](auto done) {
        for (int waited = 0; waited < 5000 && !done(); waited += 5) SDL_Delay(5);
        return done();
    };
    const Ref<TFormulaDecoder> first = Ramp(4410);
    const Ref<TFormulaDecoder> second = StereoConstant(0.25f, -0.25f);
    ASSERT_TRUE(PlayMusic(first, PLAY_LOOPING, 0.05f));
    EXPECT_TRUE(waitUntil([&] { return first->rewinds.load() >= 3; })) << "the decoding thread repeats it";
    ASSERT_TRUE(PlayMusic(second, PLAY_LOOPING, 0.05f));
    SetMusicVolume(0.5f, 0.02f);
    PauseMusic();
    ResumeMusic();
    // Music calls take back what the mixer handed back.
    EXPECT_TRUE(waitUntil([&] { return MusicIsPlaying() && first.use_count() == 1; }))
        << "the old music faded out and was let go";
    StopMusic(0.05f);
    EXPECT_TRUE(waitUntil([&] { return !MusicIsPlaying(); }));
    EXPECT_EQ(second.use_count(), 1);
    ASSERT_TRUE(PlayMusic(first));
    CloseAudio();
    EXPECT_EQ(first.use_count(), 1);
}

}  // namespace
