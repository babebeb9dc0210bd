// Writing and reading a 512 x 512 RGBA pixmap through a data stream, each beside its peer on
// the same pixmap in the same run: saving it as a PNG and loading that PNG back. Both go
// through a memory bank, so only the encoding is measured. Two pictures: a synthetic one with
// gradients, detail and varying alpha, and the game's background photograph.
#include <benchmark/benchmark.h>

#include <string>

#include "core/object.h"
#include "core/text.h"
#include "pixmap/pixel_format.h"
#include "pixmap/pixmap.h"
#include "pixmap/pixmap_loader.h"
#include "pixmap/pixmap_module.h"
#include "pixmap/pixmap_save.h"
#include "stream/bank.h"
#include "stream/bank_stream.h"
#include "stream/data/data_stream.h"

namespace {

using namespace qrv;

constexpr int32_t side = 512;
constexpr int32_t pngLevel = 6;  // the level the data stream deflates at

Ref<TPixmap> Synthetic() {
    InitPixmapModule();
    Ref<TPixmap> pixmap = NewPixmap(side, side, FormatRGBA8888, 4);
    for (int32_t y = 0; y < side; ++y)
        for (int32_t x = 0; x < side; ++x)
            pixmap->SetPixelARGB(x, y,
                                 static_cast<uint32_t>((x + y) / 4) << 24 | (x / 2) << 16 |
                                     (y / 2) << 8 | ((x ^ y) & 0xFF));
    return pixmap;
}

Ref<TPixmap> Photo() {
    InitPixmapModule();
    const Ref<TPixmap> decoded = PixmapFromUrl(FromUtf8(std::string(ZORVAK_ASSETS) + "/back.jpg"));
    return decoded ? decoded->ConvertedTo(FormatRGBA8888) : nullptr;
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

void WriteData(benchmark::State& state, const Ref<TPixmap>& pixmap) {
    if (!pixmap) return state.SkipWithError("no picture");
    for (auto _ : state) benchmark::DoNotOptimize(DataOf(pixmap));
    state.counters["bytes"] = DataOf(pixmap)->Size();
}

void WritePng(benchmark::State& state, const Ref<TPixmap>& pixmap) {
    if (!pixmap) return state.SkipWithError("no picture");
    for (auto _ : state) {
        Ref<TBank> png = PngOf(pixmap);
        if (!png) state.SkipWithError("PNG not saved");
        benchmark::DoNotOptimize(png);
    }
    state.counters["bytes"] = PngOf(pixmap)->Size();
}

void ReadData(benchmark::State& state, const Ref<TPixmap>& pixmap) {
    if (!pixmap) return state.SkipWithError("no picture");
    const Ref<TBank> bank = DataOf(pixmap);
    for (auto _ : state)
        benchmark::DoNotOptimize(DataStreamOver(BankStreamOver(bank))->ReadSerialized());
}

void ReadPng(benchmark::State& state, const Ref<TPixmap>& pixmap) {
    if (!pixmap) return state.SkipWithError("no picture");
    const Ref<TBank> bank = PngOf(pixmap);
    for (auto _ : state) {
        Ref<TPixmap> read = PixmapFromUrl(bank);
        if (!read) state.SkipWithError("PNG not loaded");
        benchmark::DoNotOptimize(read);
    }
}

void BM_DataWritePixmap512(benchmark::State& state) { WriteData(state, Synthetic()); }
void BM_DataWritePixmap512_Peer(benchmark::State& state) { WritePng(state, Synthetic()); }
void BM_DataReadPixmap512(benchmark::State& state) { ReadData(state, Synthetic()); }
void BM_DataReadPixmap512_Peer(benchmark::State& state) { ReadPng(state, Synthetic()); }
void BM_DataWritePhoto512(benchmark::State& state) { WriteData(state, Photo()); }
void BM_DataWritePhoto512_Peer(benchmark::State& state) { WritePng(state, Photo()); }
void BM_DataReadPhoto512(benchmark::State& state) { ReadData(state, Photo()); }
void BM_DataReadPhoto512_Peer(benchmark::State& state) { ReadPng(state, Photo()); }

BENCHMARK(BM_DataWritePixmap512)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DataWritePixmap512_Peer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DataReadPixmap512)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DataReadPixmap512_Peer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DataWritePhoto512)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DataWritePhoto512_Peer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DataReadPhoto512)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DataReadPhoto512_Peer)->Unit(benchmark::kMillisecond);

}  // namespace
