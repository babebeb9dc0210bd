// Ogg Vorbis through the sound loaders over a memory stream, checked against libvorbisfile
// decoding the same bytes from memory by itself: the same samples, or no sound exactly when
// libvorbisfile fails or gives what a sound may not hold (more than two channels, no samples,
// more than the memory limit). Chained files end where the format changes; holes in the data
// are passed over. The decoder read in uneven blocks agrees with the whole load. The pages'
// checksums are set right first, so that changed bytes reach the decoder rather than making
// libogg drop their page.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "audio/audio_module.h"
#include "audio/sound_loader.h"
#include "core/failure.h"
#include "stream/ram_stream.h"
#include "support/decoder_check.h"
#include "support/fuzz_check.h"
#include "tests/audio/vorbis_from_memory.h"

namespace {

constexpr int64_t MEMORY_LIMIT = 64 << 20;

// Sets the checksum of every page that fits in the data: CRC-32 of polynomial 0x04C11DB7,
// unreflected, over the page with its checksum field zeroed.
void SetPageChecksums(std::vector<uint8_t>& ogg) {
    for (size_t at = 0; at + 27 <= ogg.size() && std::memcmp(&ogg[at], "OggS", 4) == 0;) {
        const size_t segments = ogg[at + 26];
        size_t size = 27 + segments;
        for (size_t s = 0; s < segments && at + 27 + s < ogg.size(); ++s) size += ogg[at + 27 + s];
        if (at + size > ogg.size()) return;
        std::memset(&ogg[at + 22], 0, 4);
        uint32_t crc = 0;
        for (size_t i = at; i < at + size; ++i) {
            crc ^= static_cast<uint32_t>(ogg[i]) << 24;
            for (int bit = 0; bit < 8; ++bit) crc = crc & 0x80000000u ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
        }
        for (int i = 0; i < 4; ++i) ogg[at + 22 + i] = static_cast<uint8_t>(crc >> (8 * i));
        at += size;
    }
}

// libvorbisfile's own decoding of the bytes as a sound would hold it; none where no sound is.
std::optional<std::vector<float>> Reference(const uint8_t* data, size_t size, int* channelsOut, long* rateOut) {
    qrv::test::TVorbisMemory memory{data, size};
    OggVorbis_File file;
    if (qrv::test::OpenVorbisMemory(memory, file) != 0) {
        return std::nullopt;
    }
    std::optional<std::vector<float>> samples;
    const vorbis_info* info = ov_info(&file, 0);
    const int channels = info->channels;
    const long rate = info->rate;
    int64_t frames = 0;
    for (int i = 0; i < ov_streams(&file); ++i) {
        if (ov_info(&file, i)->channels != channels || ov_info(&file, i)->rate != rate) break;
        frames += std::max<ogg_int64_t>(ov_pcm_total(&file, i), 0);
    }
    const bool playable = (channels == 1 || channels == 2) && rate >= qrv::MIN_SOUND_RATE &&
                          rate <= qrv::MAX_SOUND_RATE && frames > 0 && qrv::SoundFitsMemoryLimit(frames, channels);
    if (playable && (ov_streams(&file) == 1 || ov_raw_seek(&file, 0) == 0)) {
        samples.emplace();
        int link = 0;
        for (;;) {
            float** pcm;
            int decodedLink = link;
            const long got = ov_read_float(&file, &pcm, 4096, &decodedLink);
            if (got == OV_HOLE) continue;
            if (got < 0) {
                samples.reset();
                break;
            }
            if (got == 0) break;
            if (decodedLink != link) {
                const vorbis_info* now = ov_info(&file, -1);
                if (now->channels != channels || now->rate != rate) break;
                link = decodedLink;
            }
            for (long i = 0; i < got; ++i) {
                for (int c = 0; c < channels; ++c) samples->push_back(std::isfinite(pcm[c][i]) ? pcm[c][i] : 0.0f);
            }
            if (!qrv::SoundFitsMemoryLimit(static_cast<int64_t>(samples->size()) / channels, channels)) {
                samples.reset();
                break;
            }
        }
        if (samples && samples->empty()) samples.reset();
    }
    *channelsOut = channels;
    *rateOut = rate;
    ov_clear(&file);
    return samples;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qrv::InitAudioModule();
    if (size < 4 || size > 1 << 18 || std::memcmp(data, "OggS", 4) != 0) return 0;
    qrv::SetSoundMemoryLimit(MEMORY_LIMIT);
    std::vector<uint8_t> bytes(data, data + size);
    SetPageChecksums(bytes);
    const auto memory = [&] { return qrv::TRamStream::OverMemory(bytes.data(), static_cast<int32_t>(bytes.size())); };

    qrv::ClearLastFailure();
    const qrv::Ref<qrv::TSound> sound = qrv::LoadSound(memory());
    const std::string cause = qrv::LastFailureUtf8();
    int channels = 0;
    long rate = 0;
    const std::optional<std::vector<float>> expected = Reference(bytes.data(), bytes.size(), &channels, &rate);
    if (!sound) {
        FUZZ_CHECK(!cause.empty(), std::string("no sound and no reason"));
        FUZZ_CHECK(!expected, "no sound (" + cause + "), but libvorbisfile decodes " +
                                  std::to_string(expected->size()) + " samples");
    } else {
        FUZZ_CHECK(expected.has_value(), "a sound of " + std::to_string(sound->Frames()) +
                                             " frames, but libvorbisfile decodes none as a sound");
        FUZZ_CHECK(sound->Channels() == channels && sound->Rate() == rate, std::string("another format"));
        FUZZ_CHECK(sound->Samples() == *expected, "samples differ: " + std::to_string(sound->Samples().size()) +
                                                      " here, " + std::to_string(expected->size()) + " there");
    }
    qrv::fuzz::CheckDecoderAgrees(sound, cause, qrv::OpenSoundDecoder(memory()));
    return 0;
}
