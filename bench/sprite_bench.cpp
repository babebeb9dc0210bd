// Frames of N textured, rotated, alpha-blended 32 x 32 sprites, drawn by the shader renderer
// (BM_Sprites<N>) and by the fixed-function one (BM_Sprites<N>_Peer) in the same run, without
// pacing. Needs a display (the test display will do).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "framework/framework.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/image_module.h"
#include "kaz2d/kaz2d_module.h"
#include "kaz2d/renderer_table.h"

namespace {

using namespace qrv;

constexpr int32_t kSide = 512;
constexpr int32_t kSprite = 32;

// A soft disc with a coloured pattern: every pixel has its own colour and partial alpha.
Ref<TPixmap> SpritePixmap() {
    Ref<TPixmap> pixmap = NewPixmap(kSprite, kSprite, FormatRGBA8888, 4);
    for (int32_t y = 0; y < kSprite; ++y) {
        for (int32_t x = 0; x < kSprite; ++x) {
            const int32_t dx = x - kSprite / 2;
            const int32_t dy = y - kSprite / 2;
            const uint32_t alpha = static_cast<uint32_t>(std::max(0, 255 - (dx * dx + dy * dy)));
            pixmap->SetPixelARGB(x, y, alpha << 24 | uint32_t(x * 8) << 16 | uint32_t(y * 8) << 8 | 0x80);
        }
    }
    return pixmap;
}

struct TSpriteScene {
    std::string renderer;
    Ref<TImage> sprite;
};

// The window of the named renderer, reopened when the previous benchmark used the other one.
TSpriteScene* SceneFor(const std::string& renderer) {
    static TSpriteScene scene;
    if (scene.renderer == renderer && DefaultGraphics()) return &scene;
    if (!std::getenv("DISPLAY")) return nullptr;
    InitRendererModules();
    CloseGraphicsWindow();
    if (!SelectRenderer(renderer) || !OpenGraphicsWindow(kSide, kSide, 0, 0, 0)) return nullptr;
    scene.renderer = renderer;
    if (!scene.sprite) {
        scene.sprite = TImage::Load(SpritePixmap(), IMG_FILTERED, 0, 0, 0);
        CentreImageHandle(scene.sprite);
    }
    return &scene;
}

void DrawSprites(const TSpriteScene& scene, int32_t count, int32_t frame) {
    SetClearColor(20, 30, 40);
    ClearScreen();
    SetBlendMode(BLEND_ALPHA);
    SetDrawAlpha(0.75f);
    for (int32_t i = 0; i < count; ++i) {
        const auto x = static_cast<float>((i * 37 + frame) % kSide);
        const auto y = static_cast<float>((i * 91) % kSide);
        SetDrawRotation(static_cast<float>((i * 7 + frame) % 360));
        DrawImageAt(scene.sprite, x, y, 0);
    }
    SetDrawRotation(0);
}

void RunSprites(benchmark::State& state, const char* renderer, int32_t count) {
    TSpriteScene* scene = SceneFor(renderer);
    if (!scene) {
        state.SkipWithError("no display for this renderer");
        return;
    }
    int32_t frame = 0;
    for (auto _ : state) {
        DrawSprites(*scene, count, frame++);
        PresentFrame(0);
    }
    state.counters["sprites/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * count, benchmark::Counter::kIsRate);
}

#define SPRITE_BENCHMARKS(N)                                                            \
    void BM_Sprites##N(benchmark::State& state) { RunSprites(state, "glcore", N); }      \
    void BM_Sprites##N##_Peer(benchmark::State& state) { RunSprites(state, "opengl", N); } \
    BENCHMARK(BM_Sprites##N)->Unit(benchmark::kMillisecond)->UseRealTime();               \
    BENCHMARK(BM_Sprites##N##_Peer)->Unit(benchmark::kMillisecond)->UseRealTime();

SPRITE_BENCHMARKS(100)
SPRITE_BENCHMARKS(1000)
SPRITE_BENCHMARKS(10000)
SPRITE_BENCHMARKS(50000)

}  // namespace
