#pragma once

#include "audio/sound.h"
#include "audio/sound_decoder.h"

namespace qrv {

// Reads a decoder to its end into a sound, for the loaders that load whole: a decoder that knows
// its length is refused before a sample is read when the sound would be over the memory limit,
// and one that does not is stopped once it passes the limit. None after NoteSoundFailure
// (sound_loader.h) when the decoder fails, gives no samples or goes over the limit.
[[nodiscard]] Ref<TSound> DecodeWholeSound(TSoundDecoder& decoder);

}  // namespace qrv
