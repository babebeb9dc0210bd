// A page for the browser test of sound: output opens while the page has had no click or key yet,
// and a sound played at once waits until the browser lets the page's audio run. The program
// tells the page what it sees in Module.audio: whether output opened (and why not), and, every
// 20 ms, whether the sound still plays.
#include <emscripten.h>

#include <cmath>
#include <vector>

#include "audio/audio_module.h"
#include "audio/sound_channels.h"
#include "core/failure.h"

namespace {

// A quarter of a second of a quiet 440 Hz tone.
qrv::Ref<qrv::TSound> Tone() {
    constexpr int32_t rate = 48000;
    std::vector<float> samples(rate / 4);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = 0.1f * static_cast<float>(std::sin(2.0 * M_PI * 440.0 * static_cast<double>(i) / rate));
    }
    return qrv::MakeSound(rate, 1, std::move(samples));
}

}  // namespace

EM_JS(void, TellPageOpened, (bool opened, const char* failure, int32_t rate), {
    Module.audio = { opened: !!opened, failure: UTF8ToString(failure), rate: rate, playing: false };
});

EM_JS(void, TellPagePlaying, (bool playing), { Module.audio.playing = !!playing; });

int main() {
    qrv::InitAudioModule();
    const bool opened = qrv::OpenAudio();
    TellPageOpened(opened, opened ? "" : qrv::LastFailureUtf8().c_str(), qrv::CurrentAudioFormat().rate);
    const qrv::Ref<qrv::TSound> tone = Tone();
    const qrv::TChannelId channel = qrv::PlaySound(tone);
    for (;;) {
        TellPagePlaying(qrv::ChannelIsPlaying(channel));
        emscripten_sleep(20);
    }
}
