// Decoding through the loader chain beside stb_image on the same bytes, and the pixel
// operations the renderer leans on.
#include <benchmark/benchmark.h>
#include <stb_image.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/text.h"
#include "pixmap/pixel_convert.h"
#include "pixmap/pixel_format.h"
#include "pixmap/pixmap_loader.h"
#include "pixmap/pixmap_module.h"
#include "pixmap/pixmap_transform.h"

namespace {

using namespace qrv;
using Bytes = std::vector<unsigned char>;

constexpr int32_t side = 512;

// A picture with smooth areas and detail, like the game's backgrounds.
Ref<TPixmap> TestPicture() {
    Ref<TPixmap> pixmap = NewPixmap(side, side, FormatRGB888, 4);
    for (int32_t y = 0; y < side; ++y)
        for (int32_t x = 0; x < side; ++x)
            pixmap->SetPixelARGB(x, y, 0xFF000000u | (x / 2) << 16 | (y / 2) << 8 | ((x ^ y) & 0xFF));
    return pixmap;
}

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The game's own 512 x 512 pictures: a progressive JPEG and a palette PNG.
std::string GamePicture(const char* name) { return std::string(ZORVAK_ASSETS) + "/" + name; }

void DecodeThroughLoaders(benchmark::State& state, const std::string& path) {
    InitPixmapModule();
    const std::u16string url = FromUtf8(path);
    for (auto _ : state) {
        Ref<TPixmap> pixmap = PixmapFromUrl(url);
        if (!pixmap) state.SkipWithError("picture did not decode");
        benchmark::DoNotOptimize(pixmap);
    }
}

void DecodeWithStb(benchmark::State& state, const std::string& path) {
    const Bytes bytes = ReadAll(path);
    for (auto _ : state) {
        int width = 0, height = 0, channels = 0;
        unsigned char* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()),
                                                      &width, &height, &channels, 0);
        if (!pixels) state.SkipWithError("stb_image did not decode");
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
}

void BM_ProgressiveJpeg_Loaders(benchmark::State& state) {
    static const std::string path = GamePicture("back.jpg");
    DecodeThroughLoaders(state, path);
}
void BM_ProgressiveJpeg_Stb(benchmark::State& state) {
    static const std::string path = GamePicture("back.jpg");
    DecodeWithStb(state, path);
}
void BM_PalettePng_Loaders(benchmark::State& state) {
    static const std::string path = GamePicture("s0.png");
    DecodeThroughLoaders(state, path);
}
void BM_PalettePng_Stb(benchmark::State& state) {
    static const std::string path = GamePicture("s0.png");
    DecodeWithStb(state, path);
}

void BM_ConvertRGBToRGBA(benchmark::State& state) {
    const int32_t count = side * side;
    std::vector<uint8_t> rgb(count * 3, 77), rgba(count * 4);
    for (auto _ : state) {
        (void)ConvertPixelRun(rgb.data(), FormatRGB888, rgba.data(), FormatRGBA8888, count);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t{count} * 4);
}

// The floor for the conversion: copying as many bytes as it writes.
void BM_MemcpyOfRGBASize(benchmark::State& state) {
    const int32_t count = side * side;
    std::vector<uint8_t> from(count * 4, 77), to(count * 4);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), to.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t{count} * 4);
}

// ConvertPixelRun over 512 x 512 pixels for every pair of formats, each beside a memcpy of
// the bytes it writes: BM_Convert_<from>_<to> and BM_Convert_<from>_<to>_Peer.
const char* const formatNames[FormatCount] = {
    "None", "Grey8", "Alpha8", "BGR888", "RGB888", "BGRA8888", "RGBA8888",
    "Red8", "Green8", "Blue8", "AlphaOnly8", "Intensity8", "Luminance8",
};

void ConvertRun(benchmark::State& state, int32_t from, int32_t to) {
    const int32_t count = side * side;
    std::vector<uint8_t> source(static_cast<size_t>(count) * BytesPerPixel(from));
    for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(i * 13);
    std::vector<uint8_t> target(static_cast<size_t>(count) * BytesPerPixel(to));
    for (auto _ : state) {
        (void)ConvertPixelRun(source.data(), from, target.data(), to, count);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(target.size()));
}

void CopyWrittenBytes(benchmark::State& state, int32_t to) {
    const size_t bytes = static_cast<size_t>(side) * side * BytesPerPixel(to);
    std::vector<uint8_t> from(bytes, 77), target(bytes);
    for (auto _ : state) {
        std::memcpy(target.data(), from.data(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}

const bool conversionsRegistered = [] {
    for (int32_t from = 1; from < FormatCount; ++from) {
        for (int32_t to = 1; to < FormatCount; ++to) {
            if (from == to) continue;
            const std::string name =
                std::string("BM_Convert_") + formatNames[from] + "_" + formatNames[to];
            benchmark::RegisterBenchmark(name.c_str(), ConvertRun, from, to)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark((name + "_Peer").c_str(), CopyWrittenBytes, to)
                ->Unit(benchmark::kMicrosecond);
        }
    }
    return true;
}();

void BM_ResampleBilinear512To256(benchmark::State& state) {
    Ref<TPixmap> picture = TestPicture()->ConvertedTo(FormatRGBA8888);
    for (auto _ : state) benchmark::DoNotOptimize(ResampleBilinear(picture, 256, 256));
}

void BM_KeyOutColor512(benchmark::State& state) {
    Ref<TPixmap> picture = TestPicture();
    for (auto _ : state) benchmark::DoNotOptimize(KeyOutColor(picture, 0, 0, 0));
}

}  // namespace

BENCHMARK(BM_ProgressiveJpeg_Loaders)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgressiveJpeg_Stb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PalettePng_Loaders)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PalettePng_Stb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertRGBToRGBA)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemcpyOfRGBASize)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ResampleBilinear512To256)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeyOutColor512)->Unit(benchmark::kMillisecond);
