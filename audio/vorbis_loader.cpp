#include "audio/vorbis_loader.h"

#include "audio/vorbis_decoder.h"
#include "audio/whole_sound.h"

namespace qrv {

Ref<TSound> TSoundLoaderVorbis::LoadFromStream(const Ref<TStream>& stream) {
    const Ref<TVorbisDecoder> decoder = TVorbisDecoder::Open(stream, false);
    return decoder ? DecodeWholeSound(*decoder) : nullptr;
}

Ref<TSoundDecoder> TSoundLoaderVorbis::OpenDecoder(const Ref<TStream>& stream) {
    return TVorbisDecoder::Open(stream, true);
}

}  // namespace qrv
