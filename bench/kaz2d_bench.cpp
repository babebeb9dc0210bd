// Frames per second of a frame like the game's board, drawn through the Kaz2D layer and the
// OpenGL renderer without pacing. Needs a display (the test display will do).
#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>

#include "kaz2d/glfixed/glfixed_kaz2d_driver.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/image_module.h"
#include "kaz2d/kaz2d_module.h"

namespace {

using namespace qrv;

constexpr int32_t kSide = 512;
constexpr int32_t kCells = 8;
constexpr int32_t kCellSide = 48;
constexpr int32_t kTextsPerCell = 5;

Ref<TPixmap> PatternPixmap(int32_t w, int32_t h, uint32_t seed) {
    Ref<TPixmap> pixmap = NewPixmap(w, h, FormatRGBA8888, 4);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            pixmap->SetPixelARGB(x, y, 0xFF000000u | ((x * seed) & 0xFF) << 16 | ((y * 3) & 0xFF) << 8 | ((x ^ y) & 0xFF));
    return pixmap;
}

// Glyph-sized images with transparent holes, as an image font makes them.
Ref<TImage> GlyphImage(uint32_t seed) {
    Ref<TPixmap> pixmap = NewPixmap(8, 16, FormatRGBA8888, 4);
    for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 8; ++x)
            if ((x * seed + y) % 3 != 0) pixmap->SetPixelARGB(x, y, 0xFFFFFFFF);
    return TImage::Load(pixmap, 0, 0, 0, 0);
}

struct TBoardScene {
    Ref<TGraphics> window;
    Ref<TImage> background;
    Ref<TImage> mark;
    Ref<TImage> button;
    std::array<Ref<TImage>, 10> glyphs;
};

TBoardScene* Scene() {
    static TBoardScene scene;
    static bool tried = false;
    if (!tried) {
        tried = true;
        if (!std::getenv("DISPLAY")) return nullptr;
        InitGLKaz2DModule();
        scene.window = OpenGraphicsWindow(kSide, kSide, 0, 0, 0);
        scene.background = TImage::Load(PatternPixmap(kSide, kSide, 5), IMG_FILTERED, 0, 0, 0);
        scene.mark = TImage::Load(PatternPixmap(32, 32, 9), IMG_MASKED | IMG_FILTERED, 0, 0, 0);
        scene.button = TImage::Load(PatternPixmap(160, 40, 3), IMG_FILTERED, 0, 0, 0);
        for (uint32_t i = 0; i < scene.glyphs.size(); ++i) scene.glyphs[i] = GlyphImage(i + 2);
    }
    return scene.window ? &scene : nullptr;
}

void DrawText2(const TBoardScene& scene, int32_t first, float x, float y) {
    DrawImageAt(scene.glyphs[first % 10], x, y, 0);
    DrawImageAt(scene.glyphs[(first + 1) % 10], x + 8, y, 0);
}

void DrawCell(const TBoardScene& scene, int32_t row, int32_t column) {
    const auto x = static_cast<float>(16 + column * (kCellSide + 4));
    const auto y = static_cast<float>(16 + row * (kCellSide + 4));
    if ((row + column) % 2 == 0) {
        SetBlendMode(BLEND_ALPHA);
        SetDrawColor(40 * row, 255 - 30 * column, 128);
        SetDrawAlpha(0.5f);
        FillRect(x, y, kCellSide, kCellSide);
        SetDrawAlpha(1.0f);
    } else {
        SetBlendMode(BLEND_MASK);
        SetDrawColor(255, 255, 255);
        DrawImageAt(scene.mark, x + 8, y + 8, 0);
    }
    SetBlendMode(BLEND_MASK);
    SetDrawColor(255, 255, 0);
    for (int32_t t = 0; t < kTextsPerCell; ++t)
        DrawText2(scene, row + column + t, x + 2 + (t % 2) * 24, y + 2 + (t / 2) * 15);
}

void DrawBoardFrame(const TBoardScene& scene) {
    SetBlendMode(BLEND_SOLID);
    SetDrawColor(255, 255, 255);
    DrawImageAt(scene.background, 0, 0, 0);
    for (int32_t row = 0; row < kCells; ++row)
        for (int32_t column = 0; column < kCells; ++column) DrawCell(scene, row, column);
    SetBlendMode(BLEND_ALPHA);
    SetDrawColor(255, 255, 255);
    DrawImageAt(scene.button, 176, 440, 0);
}

void BM_BoardFrame(benchmark::State& state) {
    TBoardScene* scene = Scene();
    if (!scene) {
        state.SkipWithError("no display for an OpenGL window");
        return;
    }
    for (auto _ : state) {
        DrawBoardFrame(*scene);
        PresentFrame(0);
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                               benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BoardFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
