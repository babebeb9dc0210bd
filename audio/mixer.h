#pragma once

#include <array>
#include <cstdint>

#include "audio/audio_driver.h"
#include "audio/command_queue.h"
#include "audio/channel_id.h"
#include "audio/sound.h"

namespace qrv {

// What the main thread asks the mixer.
struct TMixCommand {
    enum class Kind : uint8_t { Play, Stop, Pause, Resume, Volume, Pan, Rate, Master };
    Kind kind = Kind::Stop;
    int32_t channel = 0;
    uint32_t generation = 0;
    // Play: the sound, which the main thread holds until the mixer hands the channel back.
    const TSound* sound = nullptr;
    int32_t times = 1;
    // The volume (Play, Volume, Master), pan (Play, Pan) and rate (Play, Rate).
    float volume = 1.0f;
    float pan = 0.0f;
    float rate = 1.0f;
};

// A play the mixer has ended or stopped, handed back so that the main thread lets go of its sound.
struct TMixDone {
    int32_t channel = 0;
    uint32_t generation = 0;
};

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

    void Reset();
    void Collect();
    // The slot of a play still going on, or -1.
    int32_t SlotOf(TChannelId id);
    void Post(TChannelId id, TMixCommand command);
    void Apply(const TMixCommand& command);
    void Finish(int32_t channel);
    void MixVoice(int32_t channel, float* out, int32_t frames);

    std::array<TSlot, SOUND_CHANNELS> slots;
    float master = 1.0f;
    bool running = false;
    int32_t deviceRate = 48000;

    std::array<TVoice, SOUND_CHANNELS> voices;
    float mixMaster = 1.0f;

    TCommandQueue<TMixCommand, 4096> commands;
    // Each channel has at most one play to hand back, so this never fills.
    TCommandQueue<TMixDone, 2 * SOUND_CHANNELS> done;
};

// The process's mixer.
TMixer& TheMixer();

}  // namespace qrv
