// Writing and reading a 512 x 512 RGBA pixmap through a data stream, each beside its peer on
// the same pixmap in the same run: saving it as a PNG and loading that PNG back. Both go
// through a memory bank, so only the encoding is measured.
#include <benchmark/benchmark.h>

#include "core/object.h"
#include "pixmap/pixmap.h"
#include "pixmap/pixmap_loader.h"
#include "pixmap/pixmap_module.h"
#include "pixmap/pixmap_save.h"
#include "stream/bank.h"
#include "stream/bank_stream.h"
#include "stream/data_stream.h"

namespace {

using namespace qrv;

constexpr int32_t side = 512;
constexpr int32_t pngLevel = 6;  // zlib's default, as the data stream uses

// Smooth areas, detail and a varying alpha, like a game's sprites and backgrounds.
Ref<TPixmap> TestPicture() {
    InitPixmapModule();
    Ref<TPixmap> pixmap = NewPixmap(side, side, FormatRGBA8888, 4);
    for (int32_t y = 0; y < side; ++y)
        for (int32_t x = 0; x < side; ++x)
            pixmap->SetPixelARGB(x, y,
                                 static_cast<uint32_t>((x + y) / 4) << 24 | (x / 2) << 16 |
                                     (y / 2) << 8 | ((x ^ y) & 0xFF));
    return pixmap;
}

Ref<TBank> DataOf(const Ref<TPixmap>& pixmap) {
    Ref<TBank> bank = TBank::NewBank(0);
    DataStreamOver(BankStreamOver(bank))->WriteSerialized(pixmap);
    return bank;
}

Ref<TBank> PngOf(const Ref<TPixmap>& pixmap) {
    Ref<TBank> bank = TBank::NewBank(0);
    if (!SavePixmapPNG(pixmap, bank, pngLevel)) return nullptr;
    return bank;
}

void BM_DataWritePixmap512(benchmark::State& state) {
    const Ref<TPixmap> pixmap = TestPicture();
    for (auto _ : state) benchmark::DoNotOptimize(DataOf(pixmap));
    state.counters["bytes"] = DataOf(pixmap)->Size();
}

void BM_DataWritePixmap512_Peer(benchmark::State& state) {
    const Ref<TPixmap> pixmap = TestPicture();
    for (auto _ : state) {
        Ref<TBank> png = PngOf(pixmap);
        if (!png) state.SkipWithError("PNG not saved");
        benchmark::DoNotOptimize(png);
    }
    state.counters["bytes"] = PngOf(pixmap)->Size();
}

void BM_DataReadPixmap512(benchmark::State& state) {
    const Ref<TBank> bank = DataOf(TestPicture());
    for (auto _ : state)
        benchmark::DoNotOptimize(DataStreamOver(BankStreamOver(bank))->ReadSerialized());
}

void BM_DataReadPixmap512_Peer(benchmark::State& state) {
    const Ref<TBank> bank = PngOf(TestPicture());
    for (auto _ : state) {
        Ref<TPixmap> pixmap = PixmapFromUrl(bank);
        if (!pixmap) state.SkipWithError("PNG not loaded");
        benchmark::DoNotOptimize(pixmap);
    }
}

BENCHMARK(BM_DataWritePixmap512)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DataWritePixmap512_Peer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DataReadPixmap512)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DataReadPixmap512_Peer)->Unit(benchmark::kMillisecond);

}  // namespace
