#pragma once

#include <concepts>
#include <cstdint>
#include <string_view>

#include "audio/channel_id.h"
#include "audio/sound_decoder.h"
#include "core/object.h"

namespace qrv {

// Music: one long sound at a time, decoded while it plays instead of held whole in memory. Call
// these from one thread, the program's; while audio is closed they do nothing (PlayMusic gives
// false). What the program asks is heard within one buffer of the output, as for sounds.
//
// - Decoding. The decoder is read in blocks of 1024 frames by the audio module's decoding thread
//   (started by the first PlayMusic, ended by CloseAudio), into a ring that holds half a second to
//   one second at the music's own rate (its rate / 2 rounded up to a power of two, at least 4096
//   frames); PlayMusic decodes the first block itself, so the music starts at once. The mixer only
//   reads the ring, resampling to the output's rate by linear interpolation as for sounds; a mono
//   music plays as it is on both sides. Should the ring run empty before the music's end (a
//   decoder slower than real time), the missing part is silence and the music goes on where it
//   was once frames come. The web build has no threads: there the audio callback tops a ring up
//   when it is less than half full, right before mixing.
// - Fades are linear in amplitude over time and move every sample: a fade in rises from silence
//   to the music's volume, a fade out falls from where the level is to silence. The music's
//   volume, its fade and the master volume (SetMasterVolume) multiply.
// - Ending. At the decoder's end a music that repeats rewinds it and goes on without a gap; one
//   whose decoder cannot rewind, or fails (Read gives -1 or throws), ends after what it has
//   decoded. A music that has ended is let go of (with its decoder and stream) by the next of
//   these calls.

// Starts the decoder's music: it plays `times` times (PLAY_LOOPING, 0 or less, until stopped) at
// the volume (0..MAX_VOLUME), rising from silence over `fadeInSeconds`. Music playing already
// fades out over the same time while the new one fades in, or stops at once without a fade; a
// music reading from this very decoder stops at once, and the decoder goes on from where it is
// (rewound first when it stands at its end and the music repeats). False, with the reason in
// LastFailure (core/failure.h), when audio is not open, for no decoder, one of more than 2
// channels or a rate outside MIN_SOUND_RATE..MAX_SOUND_RATE, one that gives no first frame (its
// own reason, or "the music has no frames"), or while 4 musics are still fading out.
bool PlayMusic(const Ref<TSoundDecoder>& decoder, int32_t times = PLAY_LOOPING, float fadeInSeconds = 0.0f,
               float volume = 1.0f);
// The same for a program's own decoder class, which would otherwise fit both this and the URL
// overload.
template <std::derived_from<TSoundDecoder> TDecoder>
bool PlayMusic(const Ref<TDecoder>& decoder, int32_t times = PLAY_LOOPING, float fadeInSeconds = 0.0f,
               float volume = 1.0f) {
    return PlayMusic(Ref<TSoundDecoder>(decoder), times, fadeInSeconds, volume);
}
// The same with the decoder OpenSoundDecoder (sound_loader.h) opens for the URL (an object that is
// a decoder already plays as it is); false, with its reason, when it opens none.
bool PlayMusic(std::u16string_view url, int32_t times = PLAY_LOOPING, float fadeInSeconds = 0.0f,
               float volume = 1.0f);
bool PlayMusic(const Ref<TObject>& url, int32_t times = PLAY_LOOPING, float fadeInSeconds = 0.0f,
               float volume = 1.0f);

// Fades the music out over the time given and ends it; at once for 0, or while it is paused.
void StopMusic(float fadeOutSeconds = 0.0f);
// PauseMusic holds the music where it is (a fade too); ResumeMusic continues it from there.
void PauseMusic();
void ResumeMusic();
// Moves the playing music's volume to `volume` (0..MAX_VOLUME), linearly over `fadeSeconds` or
// at once. MusicVolume gives the volume last asked, by this or by PlayMusic.
void SetMusicVolume(float volume, float fadeSeconds = 0.0f);
[[nodiscard]] float MusicVolume();
// True from PlayMusic until the music has ended: while paused and while fading out too, but no
// longer once StopMusic ended it at once.
[[nodiscard]] bool MusicIsPlaying();

}  // namespace qrv
