#include "audio/mixer.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "audio/interpolation.h"
#include "core/failure.h"

namespace qrv {

namespace {

constexpr float QUARTER_PI = 0.785398163f;
// A channel id is the play's generation above the channel's index.
constexpr int32_t INDEX_BITS = 8;
constexpr uint32_t GENERATION_MASK = 0xFFFFFFu;

float Clamped(float value, float low, float high) {
    if (!(value >= low)) return low;  // also for a value that is not a number
    return value > high ? high : value;
}

float ClampedPan(float pan) { return std::isnan(pan) ? 0.0f : Clamped(pan, -1.0f, 1.0f); }
float ClampedRate(float rate) { return std::isnan(rate) ? 1.0f : Clamped(rate, MIN_PLAY_RATE, MAX_PLAY_RATE); }

}  // namespace

float ClampedVolume(float volume) { return Clamped(volume, 0.0f, MAX_VOLUME); }

TMixer& TheMixer() {
    static TMixer mixer;
    return mixer;
}

void TMixer::Reset() {
    // The decoding thread ends first, so that what follows lets go of every music here.
    feeder.Stop();
    commands.Clear();
    done.Clear();
    for (TSlot& slot : slots) {
        slot.sound = nullptr;
        slot.playing = false;
        slot.paused = false;
    }
    for (TVoice& voice : voices) voice.active = false;
    for (TMusicSlot& slot : musicSlots) {
        slot.music = nullptr;
        slot.heard = false;
    }
    for (TMusicVoice& voice : musicVoices) voice.Clear();
    currentMusic = -1;
    musicPaused = false;
    mixMaster = master;
}

void TMixer::Begin(int32_t rate) {
    Reset();
    deviceRate = rate;
    running = true;
}

void TMixer::End() {
    Reset();
    running = false;
}

void TMixer::Collect() {
    TMixDone finished;
    while (done.Pop(finished)) {
        if (finished.music) {
            CollectMusic(finished);
            continue;
        }
        TSlot& slot = slots[finished.channel];
        if (slot.generation != finished.generation) continue;
        slot.sound = nullptr;
        slot.playing = false;
        slot.paused = false;
    }
}

int32_t TMixer::SlotOf(TChannelId id) {
    Collect();
    const auto index = static_cast<int32_t>(id & ((1u << INDEX_BITS) - 1));
    if (id == NO_CHANNEL || index >= SOUND_CHANNELS) return -1;
    const TSlot& slot = slots[index];
    return slot.playing && slot.generation == id >> INDEX_BITS ? index : -1;
}

void TMixer::Post(TChannelId id, TMixCommand command) {
    const int32_t index = SlotOf(id);
    if (index < 0) return;
    command.channel = index;
    command.generation = slots[index].generation;
    if (!commands.Push(command)) return;
    TSlot& slot = slots[index];
    if (command.kind == TMixCommand::Kind::Stop) slot.playing = false;
    if (command.kind == TMixCommand::Kind::Pause) slot.paused = true;
    if (command.kind == TMixCommand::Kind::Resume) slot.paused = false;
}

TChannelId TMixer::Play(const Ref<TSound>& sound, int32_t times, float volume, float pan, float rate) {
    if (!running) {
        SetLastFailure("could not play a sound: no audio is open");
        return NO_CHANNEL;
    }
    if (!sound) {
        SetLastFailure("could not play a sound: none was given");
        return NO_CHANNEL;
    }
    Collect();
    // A channel is free once the mixer has handed back its last play's sound.
    const auto free = std::find_if(slots.begin(), slots.end(), [](const TSlot& s) { return !s.sound; });
    if (free == slots.end()) {
        SetLastFailure("could not play a sound: all " + std::to_string(SOUND_CHANNELS) + " channels are busy");
        return NO_CHANNEL;
    }
    const auto index = static_cast<int32_t>(free - slots.begin());
    uint32_t generation = (free->generation + 1) & GENERATION_MASK;
    if (generation == 0) generation = 1;
    TMixCommand command;
    command.kind = TMixCommand::Kind::Play;
    command.channel = index;
    command.generation = generation;
    command.sound = sound.get();
    command.times = std::max(times, PLAY_LOOPING);
    command.volume = ClampedVolume(volume);
    command.pan = ClampedPan(pan);
    command.rate = ClampedRate(rate);
    if (!commands.Push(command)) {
        SetLastFailure("could not play a sound: the mixer has fallen behind the program's commands");
        return NO_CHANNEL;
    }
    free->sound = sound;
    free->generation = generation;
    free->playing = true;
    free->paused = false;
    return generation << INDEX_BITS | static_cast<uint32_t>(index);
}

void TMixer::Stop(TChannelId id) {
    TMixCommand command;
    command.kind = TMixCommand::Kind::Stop;
    Post(id, command);
}

void TMixer::StopAll() {
    for (int32_t index = 0; index < SOUND_CHANNELS; ++index) {
        if (slots[index].playing) Stop(slots[index].generation << INDEX_BITS | static_cast<uint32_t>(index));
    }
}

void TMixer::SetPaused(TChannelId id, bool paused) {
    TMixCommand command;
    command.kind = paused ? TMixCommand::Kind::Pause : TMixCommand::Kind::Resume;
    Post(id, command);
}

bool TMixer::IsPlaying(TChannelId id) { return SlotOf(id) >= 0; }

bool TMixer::IsPaused(TChannelId id) {
    const int32_t index = SlotOf(id);
    return index >= 0 && slots[index].paused;
}

void TMixer::SetVolume(TChannelId id, float volume) {
    TMixCommand command;
    command.kind = TMixCommand::Kind::Volume;
    command.volume = ClampedVolume(volume);
    Post(id, command);
}

void TMixer::SetPan(TChannelId id, float pan) {
    TMixCommand command;
    command.kind = TMixCommand::Kind::Pan;
    command.pan = ClampedPan(pan);
    Post(id, command);
}

void TMixer::SetRate(TChannelId id, float rate) {
    TMixCommand command;
    command.kind = TMixCommand::Kind::Rate;
    command.rate = ClampedRate(rate);
    Post(id, command);
}

void TMixer::SetMasterVolume(float volume) {
    TMixCommand command;
    command.kind = TMixCommand::Kind::Master;
    command.volume = ClampedVolume(volume);
    if (!running) {
        master = mixMaster = command.volume;
    } else if (commands.Push(command)) {
        master = command.volume;
    }
}

// The mixing half.

void TMixer::Finish(int32_t channel) {
    TVoice& voice = voices[channel];
    voice.active = false;
    done.Push({channel, voice.generation});
}

namespace {

void UpdateGains(float volume, float pan, int32_t channels, float& left, float& right) {
    if (channels == 1) {
        const float angle = (pan + 1.0f) * QUARTER_PI;
        left = volume * std::cos(angle);
        right = volume * std::sin(angle);
    } else {
        left = volume * std::min(1.0f, 1.0f - pan);
        right = volume * std::min(1.0f, 1.0f + pan);
    }
}

}  // namespace

void TMixer::Apply(const TMixCommand& command) {
    using Kind = TMixCommand::Kind;
    if (command.kind == Kind::Master) {
        mixMaster = command.volume;
        return;
    }
    if (command.kind >= Kind::MusicPlay) {
        ApplyToMusic(command);
        return;
    }
    TVoice& voice = voices[command.channel];
    if (command.kind == Kind::Play) {
        const TSound& sound = *command.sound;
        voice.samples = sound.Samples().data();
        voice.frames = sound.Frames();
        voice.channels = sound.Channels();
        voice.step = static_cast<double>(sound.Rate()) / deviceRate;
        voice.position = 0.0;
        voice.timesLeft = command.times;
        voice.volume = command.volume;
        voice.pan = command.pan;
        voice.rate = command.rate;
        voice.generation = command.generation;
        voice.active = true;
        voice.paused = false;
    } else if (!voice.active || voice.generation != command.generation) {
        return;  // the play has ended already
    }
    switch (command.kind) {
    case Kind::Stop:
        Finish(command.channel);
        return;
    case Kind::Pause:
        voice.paused = true;
        return;
    case Kind::Resume:
        voice.paused = false;
        return;
    case Kind::Volume:
        voice.volume = command.volume;
        break;
    case Kind::Pan:
        voice.pan = command.pan;
        break;
    case Kind::Rate:
        voice.rate = command.rate;
        return;
    default:
        break;
    }
    UpdateGains(voice.volume, voice.pan, voice.channels, voice.leftGain, voice.rightGain);
}

namespace {

// Adds `count` frames from the samples to out at the gains, without resampling.
void AddFrames(const float* s, int32_t channels, float leftGain, float rightGain, float* out, int64_t count) {
    if (channels == 1) {
        for (int64_t f = 0; f < count; ++f) {
            out[2 * f] += s[f] * leftGain;
            out[2 * f + 1] += s[f] * rightGain;
        }
    } else {
        for (int64_t f = 0; f < count; ++f) {
            out[2 * f] += s[2 * f] * leftGain;
            out[2 * f + 1] += s[2 * f + 1] * rightGain;
        }
    }
}

}  // namespace

void TMixer::MixWholeFrames(int32_t channel, float* out, int32_t frames) {
    TVoice& v = voices[channel];
    auto i = static_cast<int64_t>(v.position);
    for (int64_t f = 0; f < frames;) {
        const int64_t run = std::min<int64_t>(frames - f, v.frames - i);
        AddFrames(v.samples + i * v.channels, v.channels, v.leftGain, v.rightGain, out + 2 * f, run);
        f += run;
        i += run;
        if (i < v.frames) continue;
        if (v.timesLeft != PLAY_LOOPING && v.timesLeft <= 1) {
            Finish(channel);
            return;
        }
        if (v.timesLeft != PLAY_LOOPING) --v.timesLeft;
        i = 0;
    }
    v.position = static_cast<double>(i);
}

void TMixer::MixVoice(int32_t channel, float* out, int32_t frames) {
    TVoice& v = voices[channel];
    const float* s = v.samples;
    const int64_t n = v.frames;
    const double step = v.step * v.rate;
    double position = v.position;
    // At the output's rate from a whole frame every position is a whole frame: nothing to
    // interpolate, and the frames are added as they are.
    if (step == 1.0 && position == std::floor(position)) {
        MixWholeFrames(channel, out, frames);
        return;
    }
    for (int32_t f = 0; f < frames; ++f) {
        const auto i = static_cast<int64_t>(position);
        const auto fraction = static_cast<float>(position - static_cast<double>(i));
        // The frame after the last is the first again while the sound repeats, else the last.
        const bool repeats = v.timesLeft == PLAY_LOOPING || v.timesLeft > 1;
        const int64_t j = i + 1 < n ? i + 1 : (repeats ? 0 : i);
        float left = 0.0f;
        float right = 0.0f;
        InterpolatedFrame(s + i * v.channels, s + j * v.channels, v.channels, fraction, left, right);
        out[2 * f] += left * v.leftGain;
        out[2 * f + 1] += right * v.rightGain;
        position += step;
        if (position >= static_cast<double>(n)) {
            if (!repeats) {
                Finish(channel);
                return;
            }
            if (v.timesLeft != PLAY_LOOPING) --v.timesLeft;
            position = std::fmod(position, static_cast<double>(n));
        }
    }
    v.position = position;
}

void TMixer::Mix(float* out, int32_t frames) {
    TMixCommand command;
    while (commands.Pop(command)) Apply(command);
    std::fill(out, out + 2 * static_cast<int64_t>(frames), 0.0f);
    for (int32_t channel = 0; channel < SOUND_CHANNELS; ++channel) {
        if (voices[channel].active && !voices[channel].paused) MixVoice(channel, out, frames);
    }
    MixMusic(out, frames);
    // Saturation: a sum past full scale stays at full scale instead of wrapping around.
    for (int64_t k = 0; k < 2 * static_cast<int64_t>(frames); ++k) {
        const float sample = out[k] * mixMaster;
        out[k] = sample > 1.0f ? 1.0f : (sample < -1.0f ? -1.0f : sample);
    }
}

}  // namespace qrv
