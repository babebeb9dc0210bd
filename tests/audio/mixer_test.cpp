// The mixer on the memory driver: what comes out, sample by sample, for what was played.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "audio/audio_module.h"
#include "audio/memory_audio_driver.h"
#include "audio/sound_channels.h"
#include "core/failure.h"
#include "tests/audio/signal_measures.h"

namespace {

using namespace qrv;
using namespace qrv::test;

Ref<TSound> Sine(int32_t rate, double hertz, double amplitude, int64_t frames) {
    std::vector<float> samples;
    for (int64_t i = 0; i < frames; ++i) {
        samples.push_back(static_cast<float>(amplitude * std::sin(2 * PI * hertz * i / rate)));
    }
    return MakeSound(rate, 1, std::move(samples));
}

Ref<TSound> Constant(float value, int64_t frames) {
    return MakeSound(DEVICE_RATE, 1, std::vector<float>(frames, value));
}

class AudioMixer : public ::testing::Test {
protected:
    void SetUp() override {
        driver = OpenMemoryOutput();
        ASSERT_NE(driver, nullptr) << LastFailureUtf8();
    }
    void TearDown() override {
        CloseAudio();
        SetMasterVolume(1.0f);
    }

    std::vector<float> Mix(int32_t frames) { return driver->MixFrames(frames); }

    Ref<TMemoryAudioDriver> driver;
};

TEST_F(AudioMixer, ASineComesOutAtItsFrequencyAndLevelAfterResampling) {
    // 44.1 kHz played on 48 kHz: the pitch stays, the level stays, the length is one second.
    const Ref<TSound> sine = Sine(44100, 1000, 0.5, 44100);
    ASSERT_NE(PlaySound(sine, 1, 1.0f, -1.0f), NO_CHANNEL);
    const std::vector<float> out = Mix(DEVICE_RATE + 1000);
    const std::vector<float> left = Side(out, 0);
    EXPECT_NEAR(RisingZeroCrossings(left), 1000, 1);
    EXPECT_NEAR(Rms(std::vector<float>(left.begin(), left.begin() + DEVICE_RATE)), 0.5 / std::sqrt(2.0), 0.002);
    EXPECT_NEAR(static_cast<double>(SoundingFrames(out)), DEVICE_RATE, 2);
    EXPECT_EQ(Rms(Side(out, 1)), 0.0) << "a mono sound panned left leaves the right side silent";
}

TEST_F(AudioMixer, VolumeAndPanFollowTheirLaws) {
    const Ref<TSound> mono = Sine(DEVICE_RATE, 500, 0.8, DEVICE_RATE / 10);
    const double full = 0.8 / std::sqrt(2.0);
    for (float volume : {1.0f, 0.5f, 0.25f}) {
        for (float pan : {-1.0f, -0.5f, 0.0f, 0.5f, 1.0f}) {
            ASSERT_NE(PlaySound(mono, 1, volume, pan), NO_CHANNEL);
            const std::vector<float> out = Mix(DEVICE_RATE / 10);
            // Constant power: cos and sin of (pan + 1) x pi / 4; -3 dB each side at the centre.
            const double angle = (pan + 1) * PI / 4;
            EXPECT_NEAR(Rms(Side(out, 0)), full * volume * std::cos(angle), 1e-4) << volume << " " << pan;
            EXPECT_NEAR(Rms(Side(out, 1)), full * volume * std::sin(angle), 1e-4) << volume << " " << pan;
        }
    }
    // A stereo sound is balanced: at the centre both sides play as they are; towards one side
    // the other side falls linearly.
    std::vector<float> samples;
    for (int i = 0; i < 480; ++i) {
        samples.push_back(0.5f);
        samples.push_back(-0.25f);
    }
    const Ref<TSound> stereo = MakeSound(DEVICE_RATE, 2, samples);
    for (float pan : {-1.0f, -0.5f, 0.0f, 0.5f, 1.0f}) {
        ASSERT_NE(PlaySound(stereo, 1, 1.0f, pan), NO_CHANNEL);
        const std::vector<float> out = Mix(480);
        EXPECT_FLOAT_EQ(out[100], 0.5f * std::min(1.0f, 1 - pan)) << pan;
        EXPECT_FLOAT_EQ(out[101], -0.25f * std::min(1.0f, 1 + pan)) << pan;
    }
    // A stereo sound panned fully left: the right side is silent, the left exactly the sound's.
    ASSERT_NE(PlaySound(stereo, 1, 1.0f, -1.0f), NO_CHANNEL);
    const std::vector<float> left = Mix(480);
    EXPECT_EQ(Side(left, 1), std::vector<float>(480, 0.0f));
    EXPECT_EQ(Side(left, 0), std::vector<float>(480, 0.5f));
}

TEST_F(AudioMixer, ChannelsSumAndTheMasterVolumeScalesTheSum) {
    const Ref<TSound> low = Sine(DEVICE_RATE, 220, 0.3, 4800);
    const Ref<TSound> high = Sine(32000, 1250, 0.2, 3200);
    PlaySound(low, 1, 1.0f, -0.3f);
    const std::vector<float> lowOut = Mix(5000);
    PlaySound(high, 1, 0.7f, 0.6f);
    const std::vector<float> highOut = Mix(5000);
    PlaySound(low, 1, 1.0f, -0.3f);
    PlaySound(high, 1, 0.7f, 0.6f);
    const std::vector<float> both = Mix(5000);
    SetMasterVolume(0.5f);
    PlaySound(low, 1, 1.0f, -0.3f);
    PlaySound(high, 1, 0.7f, 0.6f);
    const std::vector<float> halved = Mix(5000);
    for (size_t i = 0; i < both.size(); ++i) {
        ASSERT_NEAR(both[i], lowOut[i] + highOut[i], 1e-6) << "sample " << i;
        ASSERT_NEAR(halved[i], both[i] / 2, 1e-6) << "sample " << i;
    }
    EXPECT_GT(Rms(both), 0.1);
}

TEST_F(AudioMixer, ARateOfTwoHalvesTheLengthAndDoublesThePitch) {
    // 100 periods of 500 Hz in 0.2 s come out as 100 periods of 1 kHz in 0.1 s.
    const Ref<TSound> sine = Sine(DEVICE_RATE, 500, 0.5, 9600);
    const TChannelId id = PlaySound(sine, 1, 1.0f, 0.0f, 2.0f);
    const std::vector<float> fast = Mix(9600);
    EXPECT_EQ(SoundingFrames(fast), 4800);
    EXPECT_NEAR(RisingZeroCrossings(Side(fast, 0)), 100, 1);
    EXPECT_FALSE(ChannelIsPlaying(id));
    // Half the rate, set while it plays: twice as long from there.
    const TChannelId slow = PlaySound(sine, 1);
    Mix(4800);
    SetChannelRate(slow, 0.5f);
    EXPECT_EQ(SoundingFrames(Mix(20000)), 9600);
}

TEST_F(AudioMixer, PlaysRepeatAsAskedAndIdsGoStale) {
    const Ref<TSound> blip = Constant(0.5f, 1000);
    const TChannelId thrice = PlaySound(blip, 3);
    EXPECT_EQ(SoundingFrames(Mix(5000)), 3000);
    EXPECT_FALSE(ChannelIsPlaying(thrice));
    const TChannelId looping = PlaySound(blip, PLAY_LOOPING);
    EXPECT_EQ(SoundingFrames(Mix(50000)), 50000);
    EXPECT_TRUE(ChannelIsPlaying(looping));
    StopChannel(looping);
    Mix(BUFFER);
    // The stopped play's channel, handed back by the mixer, is used again; the old id no longer
    // reaches it.
    const TChannelId next = PlaySound(blip, PLAY_LOOPING);
    EXPECT_NE(next, looping);
    EXPECT_EQ(next & 0xFF, looping & 0xFF) << "the first free channel plays";
    StopChannel(looping);
    SetChannelVolume(looping, 0.0f);
    EXPECT_TRUE(ChannelIsPlaying(next));
    for (float sample : Mix(BUFFER)) ASSERT_NEAR(sample, 0.5 * std::sqrt(0.5), 1e-6);
}

TEST_F(AudioMixer, AtTheOutputRateFramesPassUnchangedAcrossRepeatsAndBuffers) {
    // A stereo sound at the device's rate is added frame for frame, with no resampling, also
    // where a repeat starts inside a buffer.
    constexpr int FRAMES = 1500;
    std::vector<float> ramp(2 * FRAMES);
    for (int i = 0; i < FRAMES; ++i) {
        ramp[2 * i] = static_cast<float>(i) / FRAMES;
        ramp[2 * i + 1] = -static_cast<float>(i) / FRAMES;
    }
    PlaySound(MakeSound(DEVICE_RATE, 2, ramp), 2);
    const std::vector<float> out = Mix(2 * FRAMES + BUFFER);
    for (int f = 0; f < 2 * FRAMES; ++f) {
        ASSERT_EQ(out[2 * f], ramp[2 * (f % FRAMES)]) << f;
        ASSERT_EQ(out[2 * f + 1], ramp[2 * (f % FRAMES) + 1]) << f;
    }
    EXPECT_EQ(SoundingFrames(out), 2 * FRAMES) << "then silence";
}

TEST_F(AudioMixer, WhatTheProgramAsksIsHeardWithinOneBuffer) {
    // A rising ramp, so that a resumed play shows where it continues.
    std::vector<float> ramp(48000);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<float>(i) / 65536;
    const TChannelId id = PlaySound(MakeSound(DEVICE_RATE, 1, ramp), 1, 1.0f, -1.0f);
    Mix(1000);
    PauseChannel(id);
    EXPECT_TRUE(ChannelIsPaused(id));
    EXPECT_EQ(Mix(BUFFER), std::vector<float>(2 * BUFFER, 0.0f));
    ResumeChannel(id);
    EXPECT_FLOAT_EQ(Mix(BUFFER)[0], 1000.0f / 65536);
    SetChannelVolume(id, 0.5f);
    EXPECT_FLOAT_EQ(Mix(BUFFER)[0], 0.5f * (1000.0f + BUFFER) / 65536);
    StopChannel(id);
    EXPECT_FALSE(ChannelIsPlaying(id));
    EXPECT_EQ(Mix(BUFFER), std::vector<float>(2 * BUFFER, 0.0f));
    // Stopping everything, and the master volume, also within one buffer.
    PlaySound(Constant(0.5f, 48000), 1, 1.0f, -1.0f);
    SetMasterVolume(0.5f);
    EXPECT_FLOAT_EQ(Mix(BUFFER)[0], 0.25f);
    StopAllChannels();
    EXPECT_EQ(Mix(BUFFER), std::vector<float>(2 * BUFFER, 0.0f));
}

TEST_F(AudioMixer, EveryChannelAtFullScaleSaturatesWithoutWrapping) {
    const Ref<TSound> sine = Sine(DEVICE_RATE, 100, 1.0, 4800);
    for (int i = 0; i < SOUND_CHANNELS; ++i) ASSERT_NE(PlaySound(sine, 1, MAX_VOLUME), NO_CHANNEL) << i;
    EXPECT_EQ(PlaySound(sine), NO_CHANNEL);
    EXPECT_EQ(LastFailureUtf8(), "could not play a sound: all 64 channels are busy");
    const std::vector<float> out = Mix(4800);
    for (size_t i = 0; i < out.size(); i += 2) {
        const float source = sine->Samples()[i / 2];
        ASSERT_GE(out[i], -1.0f);
        ASSERT_LE(out[i], 1.0f);
        if (std::fabs(source) > 0.01f) {
            ASSERT_EQ(out[i], source > 0 ? 1.0f : -1.0f) << "frame " << i / 2;
        }
    }
    // Once the plays have ended, their channels are free again.
    EXPECT_NE(PlaySound(sine), NO_CHANNEL);
}

TEST_F(AudioMixer, WithoutOpenAudioPlayingDoesNothing) {
    const Ref<TSound> sine = Sine(DEVICE_RATE, 100, 1.0, 4800);
    const TChannelId id = PlaySound(sine, PLAY_LOOPING);
    CloseAudio();
    EXPECT_FALSE(ChannelIsPlaying(id));
    EXPECT_EQ(sine.use_count(), 1) << "closing lets go of the playing sounds";
    EXPECT_EQ(PlaySound(sine), NO_CHANNEL);
    EXPECT_EQ(LastFailureUtf8(), "could not play a sound: no audio is open");
    StopChannel(id);
    SetChannelPan(id, 1.0f);
    EXPECT_FALSE(ChannelIsPlaying(NO_CHANNEL));
}

}  // namespace
