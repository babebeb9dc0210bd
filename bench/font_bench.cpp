// Text in the game's face at its two sizes: every Latin and Cyrillic letter rasterised, made
// into images and drawn for the first time, and the same text drawn again from the caches.
#include <benchmark/benchmark.h>

#include <string>

#include "kaz2d/glfixed/glfixed_kaz2d_driver.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/image_font_module.h"
#include "kaz2d/kaz2d_module.h"
#include "kaz2d/text_drawing.h"
#include "system/application.h"

namespace bench {
void RegisterFontBenchFiles();
}

namespace {

using namespace qrv;

std::u16string LatinAndCyrillicLetters() {
    std::u16string letters = u"Ёё";
    for (char16_t c = u'A'; c <= u'Z'; ++c) letters += c;
    for (char16_t c = u'a'; c <= u'z'; ++c) letters += c;
    for (char16_t c = u'А'; c <= u'я'; ++c) letters += c;
    return letters;
}

// One window for the whole run; false when the display gives none.
bool OpenBenchWindow() {
    static bool open = [] {
        bench::RegisterFontBenchFiles();
        InitImageFontModule();
        SetApplicationTitle(u"Font benchmark");
        InitGLKaz2DModule();
        return OpenGraphicsWindow(512, 512, 0, 0, 0) != nullptr;
    }();
    return open;
}

// Draws the text in rows across the window, then waits for the renderer by reading a pixel.
void DrawLetters(const std::u16string& letters, int32_t size) {
    for (size_t start = 0; start < letters.size(); start += 24) {
        const float y = static_cast<float>((start / 24) * static_cast<size_t>(size));
        DrawTextAt(std::u16string_view(letters).substr(start, 24), 0.0f, y);
    }
    benchmark::DoNotOptimize(GrabPixmapRect(0, 0, 1, 1));
}

void BM_FirstDrawRasterises(benchmark::State& state) {
    if (!OpenBenchWindow()) return state.SkipWithError("no OpenGL window");
    const auto size = static_cast<int32_t>(state.range(0));
    const std::u16string letters = LatinAndCyrillicLetters();
    for (auto _ : state) {
        state.PauseTiming();
        const Ref<TImageFont> font = OpenImageFont(u"incbin::b2.ttf", size, 1);
        SelectFont(font);
        ClearScreen();
        state.ResumeTiming();
        DrawLetters(letters, size);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(letters.size()));
}

void BM_CachedDraw(benchmark::State& state) {
    if (!OpenBenchWindow()) return state.SkipWithError("no OpenGL window");
    const auto size = static_cast<int32_t>(state.range(0));
    const std::u16string letters = LatinAndCyrillicLetters();
    const Ref<TImageFont> font = OpenImageFont(u"incbin::b2.ttf", size, 1);
    SelectFont(font);
    DrawLetters(letters, size);
    for (auto _ : state) {
        ClearScreen();
        DrawLetters(letters, size);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(letters.size()));
}

BENCHMARK(BM_FirstDrawRasterises)->Arg(18)->Arg(30)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CachedDraw)->Arg(18)->Arg(30)->Unit(benchmark::kMicrosecond);

}  // namespace
