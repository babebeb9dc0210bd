#pragma once

#include "audio/sound_loader.h"

namespace qrv {

// Ogg Vorbis sounds, mono and stereo, decoded by libvorbisfile (TVorbisDecoder, vorbis_decoder.h):
// loaded whole, or read a block at a time by a decoder. Data that does not start with an Ogg page
// is left to the other loaders; an Ogg file that holds no Vorbis, more than two channels, or
// headers that are damaged gives none with the reason. A chained file ends where a link changes
// the rate or the channels.
class TSoundLoaderVorbis final : public TSoundLoader {
public:
    [[nodiscard]] Ref<TSound> LoadFromStream(const Ref<TStream>& stream) override;
    [[nodiscard]] Ref<TSoundDecoder> OpenDecoder(const Ref<TStream>& stream) override;
};

}  // namespace qrv
