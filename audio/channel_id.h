#pragma once

#include <cstdint>

namespace qrv {

// The channels of the mixer and the ranges of what each plays with (see sound_channels.h).

// How many sounds can play at once.
inline constexpr int32_t SOUND_CHANNELS = 64;

// A playing sound, as PlaySound gives it. The id names one play of one channel: once that play
// has ended (or was stopped), the id is stale, and the calls of sound_channels.h ignore it, even after
// the channel plays something else. NO_CHANNEL is never given for a play.
using TChannelId = uint32_t;
// The id of no channel: what PlaySound gives when nothing plays.
inline constexpr TChannelId NO_CHANNEL = 0;

// PlaySound's `times` for a sound that repeats until it is stopped.
inline constexpr int32_t PLAY_LOOPING = 0;

// The range of a channel's playback rate: 2 plays twice as fast, an octave higher, and takes half
// as long; rates outside are brought to the nearest end.
inline constexpr float MIN_PLAY_RATE = 0.01f;
inline constexpr float MAX_PLAY_RATE = 100.0f;
// The highest channel and master volume; 1 plays a sound as it is, 0 silences it. Volumes outside
// 0..MAX_VOLUME are brought to the nearest end (one that is not a number counts as 0).
inline constexpr float MAX_VOLUME = 16.0f;

}  // namespace qrv
