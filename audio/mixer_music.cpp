// The mixer's music: the main thread's half (slots holding each music until the mixer hands it
// back, the decoding thread) and the mixing half (a voice per slot reading from the music's ring).
#include <algorithm>
#include <cmath>
#include <string>

#include "audio/mixer.h"
#include "core/failure.h"

namespace qrv {

namespace {

// Longer fades are taken as this long, so that a fade's length in frames stays well in range.
constexpr float LONGEST_FADE_SECONDS = 3600.0f;

bool PlayableDecoder(const TSoundDecoder& decoder) {
    const int32_t channels = decoder.Channels();
    const int32_t rate = decoder.Rate();
    if (channels != 1 && channels != 2) {
        SetLastFailure("could not play music: " + std::to_string(channels) +
                       " channels (mono and stereo can be played)");
        return false;
    }
    if (rate < MIN_SOUND_RATE || rate > MAX_SOUND_RATE) {
        SetLastFailure("could not play music: a rate of " + std::to_string(rate) + " frames a second (" +
                       std::to_string(MIN_SOUND_RATE) + " to " + std::to_string(MAX_SOUND_RATE) +
                       " can be played)");
        return false;
    }
    return true;
}

}  // namespace

int64_t TMixer::FadeFrames(float seconds) const {
    if (!(seconds > 0.0f)) return 0;  // also for a length that is not a number
    return static_cast<int64_t>(std::min(seconds, LONGEST_FADE_SECONDS) * static_cast<float>(deviceRate));
}

void TMixer::PostToMusics(TMixCommand command) {
    for (int32_t index = 0; index < MUSIC_SLOTS; ++index) {
        TMusicSlot& slot = musicSlots[index];
        if (!slot.heard) continue;
        command.channel = index;
        command.generation = slot.generation;
        if (!commands.Push(command)) continue;
        // A music stopped at once, or while paused, is not heard again.
        const bool endsAtOnce = command.fadeFrames == 0 || musicPaused;
        if (command.kind == TMixCommand::Kind::MusicFadeOut && endsAtOnce) slot.heard = false;
    }
}

void TMixer::TakeBackDecoder(const TSoundDecoder* decoder) {
    for (int32_t index = 0; index < MUSIC_SLOTS; ++index) {
        TMusicSlot& slot = musicSlots[index];
        if (!slot.music || slot.music->Decoder() != decoder) continue;
        feeder.Remove(slot.music.get());
        if (!slot.heard) continue;
        TMixCommand stop;
        stop.kind = TMixCommand::Kind::MusicFadeOut;
        stop.channel = index;
        stop.generation = slot.generation;
        if (commands.Push(stop)) slot.heard = false;
    }
}

bool TMixer::PlayMusic(const Ref<TSoundDecoder>& decoder, int32_t times, float fadeInSeconds, float volume) {
    if (!running) {
        SetLastFailure("could not play music: no audio is open");
        return false;
    }
    if (!decoder) {
        SetLastFailure("could not play music: no decoder was given");
        return false;
    }
    if (!PlayableDecoder(*decoder)) return false;
    Collect();
    const auto free = std::find_if(musicSlots.begin(), musicSlots.end(), [](const TMusicSlot& s) { return !s.music; });
    if (free == musicSlots.end()) {
        SetLastFailure("could not play music: " + std::to_string(MUSIC_SLOTS) + " musics are still fading out");
        return false;
    }
    // Playing a decoder again (the same tune from where it is, say) takes it from its old music.
    TakeBackDecoder(decoder.get());
    const auto music = std::make_shared<TMusicStream>(decoder, times);
    if (!music->Prime()) {
        SetLastFailure("could not play music: " + LastFailureUtf8());
        return false;
    }
    const int64_t fadeFrames = FadeFrames(fadeInSeconds);
    TMixCommand fadeOut;
    fadeOut.kind = TMixCommand::Kind::MusicFadeOut;
    fadeOut.fadeFrames = fadeFrames;
    PostToMusics(fadeOut);
    return StartMusic(static_cast<int32_t>(free - musicSlots.begin()), music, ClampedVolume(volume), fadeFrames);
}

bool TMixer::StartMusic(int32_t index, const Ref<TMusicStream>& music, float volume, int64_t fadeFrames) {
    TMusicSlot& slot = musicSlots[index];
    uint32_t generation = slot.generation + 1;
    if (generation == 0) generation = 1;
    TMixCommand play;
    play.kind = TMixCommand::Kind::MusicPlay;
    play.channel = index;
    play.generation = generation;
    play.music = music.get();
    play.volume = volume;
    play.fadeFrames = fadeFrames;
    if (!commands.Push(play)) {
        SetLastFailure("could not play music: the mixer has fallen behind the program's commands");
        return false;
    }
    feeder.Add(music);
    slot = {music, generation, true};
    currentMusic = index;
    musicVolume = volume;
    musicPaused = false;
    return true;
}

void TMixer::StopMusic(float fadeOutSeconds) {
    Collect();
    TMixCommand command;
    command.kind = TMixCommand::Kind::MusicFadeOut;
    command.fadeFrames = FadeFrames(fadeOutSeconds);
    PostToMusics(command);
    musicPaused = false;
}

void TMixer::SetMusicPaused(bool paused) {
    Collect();
    TMixCommand command;
    command.kind = paused ? TMixCommand::Kind::MusicPause : TMixCommand::Kind::MusicResume;
    PostToMusics(command);
    musicPaused = paused && MusicIsPlaying();
}

void TMixer::SetMusicVolume(float volume, float fadeSeconds) {
    musicVolume = ClampedVolume(volume);
    Collect();
    if (currentMusic < 0 || !musicSlots[currentMusic].heard) return;
    TMixCommand command;
    command.kind = TMixCommand::Kind::MusicVolume;
    command.channel = currentMusic;
    command.generation = musicSlots[currentMusic].generation;
    command.volume = musicVolume;
    command.fadeFrames = FadeFrames(fadeSeconds);
    commands.Push(command);
}

bool TMixer::MusicIsPlaying() {
    Collect();
    return std::any_of(musicSlots.begin(), musicSlots.end(), [](const TMusicSlot& s) { return s.heard; });
}

void TMixer::CollectMusic(const TMixDone& finished) {
    TMusicSlot& slot = musicSlots[finished.channel];
    if (slot.generation != finished.generation || !slot.music) return;
    // The decoding thread lets go first; the last reference, and the decoder, go here.
    feeder.Remove(slot.music.get());
    slot.music = nullptr;
    slot.heard = false;
}

// The mixing half.

void TMixer::ApplyToMusic(const TMixCommand& command) {
    using Kind = TMixCommand::Kind;
    TMusicVoice& voice = musicVoices[command.channel];
    if (command.kind == Kind::MusicPlay) {
        voice.Start(*command.music, command.generation, deviceRate, command.volume, command.fadeFrames);
        return;
    }
    if (!voice.Active() || voice.Generation() != command.generation) return;  // ended already
    switch (command.kind) {
    case Kind::MusicFadeOut:
        // A paused music is not mixed, so it could not fade: it ends at once, as the main thread
        // expects.
        if (command.fadeFrames == 0 || voice.Paused()) {
            FinishMusic(command.channel);
        } else {
            voice.FadeOut(command.fadeFrames);
        }
        break;
    case Kind::MusicPause:
        voice.SetPaused(true);
        break;
    case Kind::MusicResume:
        voice.SetPaused(false);
        break;
    case Kind::MusicVolume:
        voice.SetVolume(command.volume, command.fadeFrames);
        break;
    default:
        break;
    }
}

void TMixer::FinishMusic(int32_t slot) {
    TMusicVoice& voice = musicVoices[slot];
    done.Push({slot, voice.Generation(), true});
    voice.Clear();
}

void TMixer::MixMusic(float* out, int32_t frames) {
    int64_t underruns = 0;
    for (int32_t slot = 0; slot < MUSIC_SLOTS; ++slot) {
        TMusicVoice& voice = musicVoices[slot];
        if (!voice.Active() || voice.Paused()) continue;
        if constexpr (MUSIC_DECODES_WHILE_MIXING) {
            if (voice.Music()->Low()) voice.Music()->TopUp();
        }
        if (!voice.Mix(out, frames, underruns)) FinishMusic(slot);
    }
    if (underruns > 0) musicUnderruns.fetch_add(underruns, std::memory_order_relaxed);
}

}  // namespace qrv
