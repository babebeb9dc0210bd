#include "audio/sdl/sdl_audio_driver.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "core/failure.h"

namespace qrv {

namespace {

class TSdlAudioDriver final : public TAudioDriver {
public:
    ~TSdlAudioDriver() override { Close(); }

    bool Open(const TAudioFormat& wanted, TAudioFormat& got) override {
        Close();
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            SetLastFailure(std::string(SDL_GetError()));
            return false;
        }
        SDL_AudioSpec want{};
        want.freq = wanted.rate;
        want.format = AUDIO_F32SYS;
        want.channels = 2;
        want.samples = static_cast<Uint16>(std::clamp(wanted.bufferFrames, 64, 16384));
        want.callback = Pull;
        want.userdata = this;
        SDL_AudioSpec have{};
        // Only the rate may differ: SDL converts the samples and channels for the device.
        device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
        if (device == 0) {
            SetLastFailure(std::string(SDL_GetError()));
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        got.rate = have.freq;
        got.bufferFrames = have.samples;
        return true;
    }

    void Start(TAudioSource& started) override {
        if (device == 0) return;
        SDL_LockAudioDevice(device);
        source = &started;
        SDL_UnlockAudioDevice(device);
        SDL_PauseAudioDevice(device, 0);
    }

    void Close() override {
        if (device == 0) return;
        // Waits for the callback to return; it is not called again after.
        SDL_CloseAudioDevice(device);
        device = 0;
        source = nullptr;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

private:
    static void SDLCALL Pull(void* userdata, Uint8* stream, int length) {
        auto* driver = static_cast<TSdlAudioDriver*>(userdata);
        if (!driver->source) {
            std::memset(stream, 0, static_cast<size_t>(length));
            return;
        }
        driver->source->Mix(reinterpret_cast<float*>(stream),
                            static_cast<int32_t>(length / (2 * sizeof(float))));
    }

    SDL_AudioDeviceID device = 0;
    TAudioSource* source = nullptr;
};

}  // namespace

Ref<TAudioDriver> MakeSdlAudioDriver() { return std::make_shared<TSdlAudioDriver>(); }

}  // namespace qrv
