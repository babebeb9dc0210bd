#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "audio/audio_driver.h"
#include "audio/command_queue.h"
#include "audio/channel_id.h"
#include "audio/music_feeder.h"
#include "audio/music_voice.h"
#include "audio/sound.h"
#include "audio/sound_decoder.h"

namespace qrv {

// What the main thread asks the mixer.
struct TMixCommand {
    enum class Kind : uint8_t {
        Play, Stop, Pause, Resume, Volume, Pan, Rate, Master,
        MusicPlay, MusicFadeOut, MusicPause, MusicResume, MusicVolume
    };
    Kind kind = Kind::Stop;
    // The channel, or for the Music kinds the music's slot.
    int32_t channel = 0;
    uint32_t generation = 0;
    // Play: the sound, which the main thread holds until the mixer hands the channel back.
    const TSound* sound = nullptr;
    int32_t times = 1;
    // The volume (Play, Volume, Master), pan (Play, Pan) and rate (Play, Rate).
    float volume = 1.0f;
    float pan = 0.0f;
    float rate = 1.0f;
    // MusicPlay: the music, which the main thread holds until the mixer hands it back.
    TMusicStream* music = nullptr;
    // The length of a music's fade (MusicPlay, MusicFadeOut, MusicVolume), in output frames.
    int64_t fadeFrames = 0;
};

// A play the mixer has ended or stopped, handed back so that the main thread lets go of its sound
// or music.
struct TMixDone {
    int32_t channel = 0;
    uint32_t generation = 0;
    bool music = false;
};

// How many musics may be held at once: the one playing and those still fading out under it.
inline constexpr int32_t MUSIC_SLOTS = 4;

// A volume within 0..MAX_VOLUME; 0 for one that is not a number.
float ClampedVolume(float volume);

// The mixer, in two halves that share nothing but two lock-free queues. The main thread's half
// hands out channels, holds a reference to each playing sound and posts commands; the mixing
// half (Mix, on the driver's thread) applies the commands at the start of each buffer, mixes, and
// hands each finished play back. The mixing half never allocates, locks, or frees a sound.
class TMixer final : public TAudioSource {
public:
    // Main thread, while no driver pulls: Begin readies the mixer for output at the rate with
    // every channel free; End lets go of every sound. Ids given before stay stale.
    void Begin(int32_t deviceRate);
    void End();
    // Between Begin and End.
    bool Running() const { return running; }

    // Main thread: the calls of sound_channels.h.
    TChannelId Play(const Ref<TSound>& sound, int32_t times, float volume, float pan, float rate);
    void Stop(TChannelId id);
    void StopAll();
    void SetPaused(TChannelId id, bool paused);
    bool IsPlaying(TChannelId id);
    bool IsPaused(TChannelId id);
    void SetVolume(TChannelId id, float volume);
    void SetPan(TChannelId id, float pan);
    void SetRate(TChannelId id, float rate);
    void SetMasterVolume(float volume);
    float MasterVolume() const { return master; }

    // Main thread: the calls of music.h.
    bool PlayMusic(const Ref<TSoundDecoder>& decoder, int32_t times, float fadeInSeconds, float volume);
    void StopMusic(float fadeOutSeconds);
    void SetMusicPaused(bool paused);
    void SetMusicVolume(float volume, float fadeSeconds);
    float MusicVolume() const { return musicVolume; }
    bool MusicIsPlaying();

    // Internal, for tests: tops every music's ring up on the calling thread (see
    // TMusicFeeder::TopUpNow); and how many times the mixer found a music's ring empty before the
    // music's end.
    void TopUpMusic() { feeder.TopUpNow(); }
    int64_t MusicUnderruns() const { return musicUnderruns.load(std::memory_order_relaxed); }
    // Internal, for tests: true while the decoding thread runs.
    bool MusicThreadRunning() const { return feeder.Running(); }

    // Mixing thread.
    void Mix(float* out, int32_t frames) override;

private:
    // The main thread's view of a channel.
    struct TSlot {
        Ref<TSound> sound;       // held from Play until the mixer hands the channel back
        uint32_t generation = 0; // of the latest play
        bool playing = false;    // neither ended nor stopped, as far as the main thread knows
        bool paused = false;
    };
    // The mixing thread's view of a channel.
    struct TVoice {
        const float* samples = nullptr;
        int64_t frames = 0;
        int32_t channels = 1;
        double step = 1.0;       // sound frames per output frame at rate 1
        double position = 0.0;   // in sound frames
        int32_t timesLeft = 1;   // PLAY_LOOPING for ever
        float volume = 1.0f;
        float pan = 0.0f;
        float rate = 1.0f;
        float leftGain = 1.0f;
        float rightGain = 1.0f;
        uint32_t generation = 0;
        bool active = false;
        bool paused = false;
    };

    // The main thread's view of a music.
    struct TMusicSlot {
        Ref<TMusicStream> music;  // held from PlayMusic until the mixer hands the music back
        uint32_t generation = 0;
        bool heard = false;       // neither ended nor stopped at once, as far as the main thread knows
    };

    void Reset();
    void Collect();
    void CollectMusic(const TMixDone& finished);
    // The slot of a play still going on, or -1.
    int32_t SlotOf(TChannelId id);
    void Post(TChannelId id, TMixCommand command);
    void Apply(const TMixCommand& command);
    void Finish(int32_t channel);
    void MixVoice(int32_t channel, float* out, int32_t frames);
    // MixVoice for a voice at the output's rate, from a whole frame.
    void MixWholeFrames(int32_t channel, float* out, int32_t frames);

    int64_t FadeFrames(float seconds) const;
    // Posts a music command to every music still heard.
    void PostToMusics(TMixCommand command);
    // Stops at once the music that reads from the decoder, if any, and takes it from the decoding
    // thread, so that the decoder is read for one music only.
    void TakeBackDecoder(const TSoundDecoder* decoder);
    // Posts the music's start in the slot and holds it there.
    bool StartMusic(int32_t slot, const Ref<TMusicStream>& music, float volume, int64_t fadeFrames);
    void ApplyToMusic(const TMixCommand& command);
    void FinishMusic(int32_t slot);
    void MixMusic(float* out, int32_t frames);

    std::array<TSlot, SOUND_CHANNELS> slots;
    float master = 1.0f;
    bool running = false;
    int32_t deviceRate = 48000;

    std::array<TVoice, SOUND_CHANNELS> voices;
    float mixMaster = 1.0f;

    std::array<TMusicSlot, MUSIC_SLOTS> musicSlots;
    float musicVolume = 1.0f;
    bool musicPaused = false;
    // The slot of the music started last, or -1.
    int32_t currentMusic = -1;
    TMusicFeeder feeder;

    std::array<TMusicVoice, MUSIC_SLOTS> musicVoices;
    std::atomic<int64_t> musicUnderruns{0};

    TCommandQueue<TMixCommand, 4096> commands;
    // Each channel and music slot has at most one play to hand back, so this never fills.
    TCommandQueue<TMixDone, 4 * SOUND_CHANNELS> done;
    static_assert(4 * SOUND_CHANNELS >= SOUND_CHANNELS + MUSIC_SLOTS);
};

// The process's mixer.
TMixer& TheMixer();

}  // namespace qrv
