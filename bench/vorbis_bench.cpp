#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "audio/api.h"
#include "core/failure.h"
#include "stream/stream_utils.h"
#include "tests/audio/vorbis_from_memory.h"

// Six seconds of stereo Ogg Vorbis at 44.1 kHz, embedded in the program, decoded whole to
// interleaved floats a block at a time as music plays: through OpenSoundDecoder over the
// "incbin::" stream (the loader list, the stream callbacks, the decoder), beside libvorbisfile
// opening the same bytes from memory by itself and interleaving the same way. Their ratio is
// what our stream adapter and decoder cost; "core_share" is the share of one core that decoding
// in real time takes.
namespace bench {
void RegisterVorbisBenchFiles();
}

namespace {

constexpr int64_t kBlockFrames = 4096;
constexpr double kSeconds = 6.0;

const std::vector<uint8_t>& MusicBytes() {
    static const std::vector<uint8_t> bytes = [] {
        bench::RegisterVorbisBenchFiles();
        qrv::InitAudioModule();
        return qrv::LoadBytes(u"incbin::music.ogg");
    }();
    return bytes;
}

benchmark::Counter CoreShare() {
    return benchmark::Counter(kSeconds, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_VorbisDecode(benchmark::State& state) {
    MusicBytes();
    std::vector<float> block(kBlockFrames * 2);
    for (auto _ : state) {
        const qrv::Ref<qrv::TSoundDecoder> decoder = qrv::OpenSoundDecoder(u"incbin::music.ogg");
        if (!decoder) {
            state.SkipWithError(qrv::LastFailureUtf8().c_str());
            return;
        }
        int64_t frames = 0;
        for (int64_t got; (got = decoder->Read(block.data(), kBlockFrames)) > 0;) frames += got;
        benchmark::DoNotOptimize(frames);
        benchmark::DoNotOptimize(block.data());
    }
    state.counters["core_share"] = CoreShare();
}
BENCHMARK(BM_VorbisDecode)->Unit(benchmark::kMillisecond);

// The peer: libvorbisfile over the bytes in memory, ov_read_float interleaved into the block.
void BM_VorbisDecode_Peer(benchmark::State& state) {
    const std::vector<uint8_t>& bytes = MusicBytes();
    std::vector<float> block(kBlockFrames * 2);
    for (auto _ : state) {
        qrv::test::TVorbisMemory memory{bytes.data(), bytes.size()};
        OggVorbis_File file;
        if (qrv::test::OpenVorbisMemory(memory, file) != 0) {
            state.SkipWithError("libvorbisfile did not open the music");
            return;
        }
        const int channels = ov_info(&file, -1)->channels;
        int64_t frames = 0;
        for (;;) {
            int64_t filled = 0;
            while (filled < kBlockFrames) {
                float** pcm;
                int link;
                const long got = ov_read_float(&file, &pcm, static_cast<int>(kBlockFrames - filled), &link);
                if (got <= 0) break;
                for (long i = 0; i < got; ++i) {
                    for (int c = 0; c < channels; ++c) block[(filled + i) * channels + c] = pcm[c][i];
                }
                filled += got;
            }
            if (filled == 0) break;
            frames += filled;
        }
        ov_clear(&file);
        benchmark::DoNotOptimize(frames);
        benchmark::DoNotOptimize(block.data());
    }
    state.counters["core_share"] = CoreShare();
}
BENCHMARK(BM_VorbisDecode_Peer)->Unit(benchmark::kMillisecond);

}  // namespace
