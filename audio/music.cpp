#include "audio/music.h"

#include "audio/mixer.h"
#include "audio/sound_loader.h"
#include "core/failure.h"

namespace qrv {

bool PlayMusic(const Ref<TSoundDecoder>& decoder, int32_t times, float fadeInSeconds, float volume) {
    return TheMixer().PlayMusic(decoder, times, fadeInSeconds, volume);
}

bool PlayMusic(const Ref<TObject>& url, int32_t times, float fadeInSeconds, float volume) {
    if (!TheMixer().Running()) {
        SetLastFailure("could not play music: no audio is open");
        return false;
    }
    if (auto decoder = std::dynamic_pointer_cast<TSoundDecoder>(url)) {
        return PlayMusic(decoder, times, fadeInSeconds, volume);
    }
    const Ref<TSoundDecoder> decoder = OpenSoundDecoder(url);
    if (!decoder) {
        SetLastFailure("could not play music: " + LastFailureUtf8());
        return false;
    }
    return PlayMusic(decoder, times, fadeInSeconds, volume);
}

bool PlayMusic(std::u16string_view url, int32_t times, float fadeInSeconds, float volume) {
    return PlayMusic(MakeText(std::u16string(url)), times, fadeInSeconds, volume);
}

void StopMusic(float fadeOutSeconds) { TheMixer().StopMusic(fadeOutSeconds); }

void PauseMusic() { TheMixer().SetMusicPaused(true); }

void ResumeMusic() { TheMixer().SetMusicPaused(false); }

void SetMusicVolume(float volume, float fadeSeconds) { TheMixer().SetMusicVolume(volume, fadeSeconds); }

float MusicVolume() { return TheMixer().MusicVolume(); }

bool MusicIsPlaying() { return TheMixer().MusicIsPlaying(); }

}  // namespace qrv
