// The game's 17 pictures decoded as the game loads them, beside stb_image decoding the same
// embedded bytes to RGBA: through the loader chain alone, and with the key-out a masked image
// applies (TImage::Load, as LoadImageFromUrl does).
#include <benchmark/benchmark.h>
#include <stb_image.h>

#include <string>

#include "kaz2d/image.h"
#include "pixmap/pixmap_loader.h"
#include "pixmap/pixmap_module.h"
#include "stream/embedded_files.h"

namespace bench {
void RegisterGamePictures();
}

namespace {

using namespace qrv;

constexpr const char* pictures[] = {
    "back.jpg", "help.jpg", "but1.png", "e0.png", "e1.png", "e2.png", "s0.png", "s1.png", "s2.png",
    "s3.png", "s4.png", "s5.png", "s6.png", "tgame.png", "win.jpg", "fail.jpg", "point.png",
};

void Prepare() {
    static const bool ready = [] {
        InitPixmapModule();
        bench::RegisterGamePictures();
        return true;
    }();
    (void)ready;
}

std::u16string UrlOf(const char* name) {
    return u"incbin::" + std::u16string(name, name + std::char_traits<char>::length(name));
}

bool IsJpeg(const char* name) { return std::string(name).ends_with(".jpg"); }

// Every picture, or only the JPEGs or only the PNGs.
enum class TPictures { All, Jpegs, Pngs };

bool Takes(TPictures which, const char* name) {
    return which == TPictures::All || (which == TPictures::Jpegs) == IsJpeg(name);
}

void DecodeWithStb(benchmark::State& state, TPictures which = TPictures::All) {
    Prepare();
    for (auto _ : state) {
        for (const char* name : pictures) {
            if (!Takes(which, name)) continue;
            const TEmbeddedFile* file = FindEmbeddedFile(UrlOf(name).substr(8));
            int width = 0, height = 0, channels = 0;
            unsigned char* pixels =
                stbi_load_from_memory(file->data, file->size, &width, &height, &channels, 4);
            if (!pixels) state.SkipWithError("stb_image did not decode");
            benchmark::DoNotOptimize(pixels);
            stbi_image_free(pixels);
        }
    }
}

void DecodeWithLoaders(benchmark::State& state, TPictures which = TPictures::All) {
    Prepare();
    for (auto _ : state) {
        for (const char* name : pictures) {
            if (!Takes(which, name)) continue;
            Ref<TPixmap> pixmap = PixmapFromUrl(UrlOf(name));
            if (!pixmap) state.SkipWithError("picture did not decode");
            benchmark::DoNotOptimize(pixmap);
        }
    }
}
void BM_DecodeGamePictures(benchmark::State& state) { DecodeWithLoaders(state); }
void BM_DecodeGamePictures_Peer(benchmark::State& state) { DecodeWithStb(state); }
void BM_DecodeGameJpegs(benchmark::State& state) { DecodeWithLoaders(state, TPictures::Jpegs); }
void BM_DecodeGameJpegs_Peer(benchmark::State& state) { DecodeWithStb(state, TPictures::Jpegs); }
void BM_DecodeGamePngs(benchmark::State& state) { DecodeWithLoaders(state, TPictures::Pngs); }
void BM_DecodeGamePngs_Peer(benchmark::State& state) { DecodeWithStb(state, TPictures::Pngs); }

void BM_DecodeAndKeyOutGamePictures(benchmark::State& state) {
    Prepare();
    for (auto _ : state) {
        for (const char* name : pictures) {
            Ref<TImage> image =
                TImage::Load(MakeText(UrlOf(name)), IMG_MASKED | IMG_FILTERED, 0, 0, 0);
            if (!image) state.SkipWithError("picture did not load");
            benchmark::DoNotOptimize(image);
        }
    }
}
void BM_DecodeAndKeyOutGamePictures_Peer(benchmark::State& state) { DecodeWithStb(state); }

}  // namespace

BENCHMARK(BM_DecodeGamePictures)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeGamePictures_Peer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeGameJpegs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeGameJpegs_Peer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeGamePngs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeGamePngs_Peer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeAndKeyOutGamePictures)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeAndKeyOutGamePictures_Peer)->Unit(benchmark::kMillisecond);
