// Opening sound output on a machine that may have no sound device: not an error for the program.
#include <gtest/gtest.h>

#include <SDL.h>

#include <string>
#include <vector>

#include "audio/audio_module.h"
#include "audio/sound_channels.h"
#include "core/failure.h"

namespace {

using namespace qrv;

TEST(AudioDrivers, WithoutADeviceOpeningFailsWithAReasonAndPlayingDoesNothing) {
    InitAudioModule();
    const Ref<TSound> sound = MakeSound(48000, 1, std::vector<float>(4800, 0.5f));
    ASSERT_NE(sound, nullptr);
    // A device SDL cannot have, so that the output fails to open on every machine.
    SDL_setenv("SDL_AUDIODRIVER", "no-such-audio-target", 1);
    EXPECT_FALSE(OpenAudio("sdl"));
    const std::string reason = LastFailureUtf8();
    EXPECT_EQ(reason.rfind("could not open audio: sdl: ", 0), 0u) << reason;
    EXPECT_GT(reason.size(), std::string("could not open audio: sdl: ").size()) << "SDL's own reason follows";
    EXPECT_FALSE(AudioIsOpen());
    // Without a name the table's drivers are tried; the memory driver is not among them.
    EXPECT_FALSE(OpenAudio());
    EXPECT_EQ(LastFailureUtf8().rfind("could not open audio: sdl: ", 0), 0u) << LastFailureUtf8();
    EXPECT_EQ(PlaySound(sound), NO_CHANNEL);
    EXPECT_FALSE(OpenAudio("speakers"));
    EXPECT_EQ(LastFailureUtf8(), "could not open audio: no audio driver is named \"speakers\"");
}

TEST(AudioDrivers, TheSdlDriverMixesOnItsOwnThread) {
    InitAudioModule();
    // SDL's device without sound hardware: a thread that pulls buffers at the device's pace.
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!OpenAudio("sdl")) GTEST_SKIP() << "SDL has no dummy device here: " << LastFailureUtf8();
    const Ref<TSound> blip = MakeSound(22050, 1, std::vector<float>(1102, 0.25f));
    const Ref<TSound> hum = MakeSound(22050, 2, std::vector<float>(4410, 0.5f));
    const TChannelId once = PlaySound(blip);
    std::vector<TChannelId> looping;
    for (int i = 1; i < SOUND_CHANNELS; ++i) looping.push_back(PlaySound(hum, PLAY_LOOPING, 0.5f, 0.3f, 1.5f));
    EXPECT_TRUE(ChannelIsPlaying(once));
    // The mixer plays the short sound to its end and hands it back; the looping ones go on
    // until stopped, whatever is changed while the thread mixes.
    const auto waitUntil = [](auto done) {
        for (int waited = 0; waited < 3000 && !done(); waited += 5) SDL_Delay(5);
        return done();
    };
    EXPECT_TRUE(waitUntil([&] { return !ChannelIsPlaying(once); }));
    EXPECT_EQ(blip.use_count(), 1) << "the finished play let go of its sound";
    for (size_t i = 0; i < looping.size(); ++i) {
        SetChannelVolume(looping[i], 0.1f * (i % 10));
        SetChannelPan(looping[i], -1.0f);
        if (i % 2) PauseChannel(looping[i]);
    }
    SetMasterVolume(0.8f);
    for (TChannelId id : looping) EXPECT_TRUE(ChannelIsPlaying(id));
    StopAllChannels();
    // The calls of sound_channels.h take back what the mixer handed back.
    EXPECT_TRUE(waitUntil([&] { return !ChannelIsPlaying(NO_CHANNEL) && hum.use_count() == 1; }))
        << "every stopped play handed back";
    EXPECT_NE(PlaySound(hum, PLAY_LOOPING), NO_CHANNEL);
    CloseAudio();
    SetMasterVolume(1.0f);
    EXPECT_EQ(hum.use_count(), 1);
}

}  // namespace

namespace {

using namespace qrv;

// The machine's own output, whatever SDL finds: under Wine, in a container without sound, on a
// desktop. Either it opens and a short sound plays to its end, or OpenAudio says why; neither
// may hang or crash.
TEST(AudioDrivers, TheSystemsOutputPlaysOrSaysWhyNot) {
    InitAudioModule();
    SDL_setenv("SDL_AUDIODRIVER", "", 1);
    if (!OpenAudio()) {
        const std::string reason = LastFailureUtf8();
        EXPECT_EQ(reason.rfind("could not open audio: sdl: ", 0), 0u) << reason;
        GTEST_SKIP() << "no sound output here: " << reason;
    }
    const Ref<TSound> blip = MakeSound(22050, 1, std::vector<float>(2205, 0.0f));
    const TChannelId once = PlaySound(blip);
    EXPECT_NE(once, NO_CHANNEL);
    for (int waited = 0; waited < 3000 && ChannelIsPlaying(once); waited += 5) SDL_Delay(5);
    EXPECT_FALSE(ChannelIsPlaying(once)) << "a tenth of a second of sound still playing after 3 s";
    CloseAudio();
}

}  // namespace
