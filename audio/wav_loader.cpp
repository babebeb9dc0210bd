#include "audio/wav_loader.h"

#include "audio/wav_decoder.h"
#include "audio/whole_sound.h"

namespace qrv {

namespace {

// A decoder at the first sample of the WAV file at the stream's position; none when the data is
// not WAV (nothing noted) or cannot be read (the cause noted).
Ref<TWavDecoder> OpenWav(const Ref<TStream>& stream, bool closesStream) {
    const int32_t start = stream->Position();
    const std::optional<TWavHeader> header = ReadWavHeader(*stream);
    if (!header) return nullptr;
    return std::make_shared<TWavDecoder>(stream, *header, start, closesStream);
}

}  // namespace

Ref<TSound> TSoundLoaderWAV::LoadFromStream(const Ref<TStream>& stream) {
    const Ref<TWavDecoder> decoder = OpenWav(stream, false);
    return decoder ? DecodeWholeSound(*decoder) : nullptr;
}

Ref<TSoundDecoder> TSoundLoaderWAV::OpenDecoder(const Ref<TStream>& stream) { return OpenWav(stream, true); }

}  // namespace qrv
