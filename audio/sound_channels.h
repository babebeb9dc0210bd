#pragma once

#include <cstdint>

#include "audio/channel_id.h"
#include "audio/sound.h"

namespace qrv {

// Playing sounds. While audio is open (audio_module.h), a sound plays on one of SOUND_CHANNELS
// channels, each with its own volume, pan and playback rate, summed by the mixer and scaled by
// the master volume; the sum is clipped to -1..1. What the program asks is heard within one
// buffer of the output (TAudioFormat::bufferFrames). Call these from one thread, the program's.
// Without open audio they do nothing: PlaySound gives NO_CHANNEL, and a program runs on silent.
// A sound stays held while it plays; once its play has ended, the next of these calls lets go.

// Starts the sound on a free channel and gives its id: it plays `times` times in a row
// (PLAY_LOOPING, 0 or less, repeats until stopped) at the volume, pan and rate given (see
// SetChannelVolume, SetChannelPan, SetChannelRate). The sound's rate is resampled to the
// output's by linear interpolation, as is the playback rate. NO_CHANNEL, with the reason in
// LastFailure (core/failure.h), when audio is not open, for no sound, or while every channel
// is busy.
TChannelId PlaySound(const Ref<TSound>& sound, int32_t times = 1, float volume = 1.0f,
                     float pan = 0.0f, float rate = 1.0f);

// Stops the play; the channel is free again once the mixer has let go of the sound.
void StopChannel(TChannelId channel);
// Stops every play.
void StopAllChannels();
// PauseChannel holds the play where it is; ResumeChannel continues it from there.
void PauseChannel(TChannelId channel);
void ResumeChannel(TChannelId channel);
// True from PlaySound until the play ends or is stopped, paused or not.
[[nodiscard]] bool ChannelIsPlaying(TChannelId channel);
// True while the play is paused.
[[nodiscard]] bool ChannelIsPaused(TChannelId channel);

// A channel's volume: each sample is multiplied by it.
void SetChannelVolume(TChannelId channel, float volume);
// A channel's pan, from -1 (left) through 0 (centre) to 1 (right). A mono sound is panned at
// constant power: left gain cos((pan + 1) x pi / 4), right gain sin((pan + 1) x pi / 4), so at
// the centre each side has 0.707 (-3 dB) and the loudness stays the same across. A stereo sound
// is balanced linearly: at the centre both sides play as they are, and towards one side the
// other side's gain falls to 0 (right gain 1 + pan for pan < 0, left gain 1 - pan for pan > 0).
void SetChannelPan(TChannelId channel, float pan);
// A channel's playback rate (pitch): 1 plays the sound at its own rate.
void SetChannelRate(TChannelId channel, float rate);

// SetMasterVolume sets the volume every channel's sum is multiplied by before clipping, 1 at
// first; MasterVolume gives it. It holds across opening and closing audio.
void SetMasterVolume(float volume);
[[nodiscard]] float MasterVolume();

}  // namespace qrv
