#pragma once

#include "audio/audio_driver.h"

namespace qrv {

// The sound output of SDL2: a device opened for stereo float at the rate wanted (or the device's
// own, which the mixer then resamples to), pulled from SDL's audio thread by a callback (on the
// web, from the page's audio processing). SDL converts to whatever the device plays. Where no
// device opens, Open gives false with SDL's reason.
[[nodiscard]] Ref<TAudioDriver> MakeSdlAudioDriver();

}  // namespace qrv
