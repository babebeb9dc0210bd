// Pixel-exact collision of two 64 x 64 images, unturned and turned by 30 degrees: one case
// that finds a shared pixel a few scanlines in, and one that scans every scanline of the
// overlap and finds none (a block inside a ring's hole). Needs a display (the test display
// will do): the drawing matrix lives in a Kaz2D context.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "kaz2d/collision.h"
#include "kaz2d/glfixed/glfixed_kaz2d_driver.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/image_module.h"

namespace {

using namespace qrv;

constexpr int32_t kSide = 64;

template <class Solid>
Ref<TImage> MaskImage(Solid solid) {
    Ref<TPixmap> pixmap = NewPixmap(kSide, kSide, FormatRGBA8888, 4);
    for (int32_t y = 0; y < kSide; ++y)
        for (int32_t x = 0; x < kSide; ++x)
            if (solid(x, y)) pixmap->SetPixelARGB(x, y, 0xFFFFFFFF);
    Ref<TImage> image = TImage::Load(pixmap, 0, 0, 0, 0);
    CentreImageHandle(image);
    return image;
}

struct TCollisionScene {
    Ref<TGraphics> window;
    Ref<TImage> ring;   // a 4-pixel border around a transparent hole
    Ref<TImage> block;  // a 16 x 16 solid square in the middle
};

TCollisionScene* Scene() {
    static TCollisionScene scene;
    static bool tried = false;
    if (!tried) {
        tried = true;
        if (!std::getenv("DISPLAY")) return nullptr;
        InitGLKaz2DModule();
        scene.window = OpenGraphicsWindow(256, 256, 0, 0, 0);
        scene.ring = MaskImage([](int32_t x, int32_t y) {
            return x < 4 || y < 4 || x >= kSide - 4 || y >= kSide - 4;
        });
        scene.block = MaskImage([](int32_t x, int32_t y) {
            return x >= 24 && x < 40 && y >= 24 && y < 40;
        });
    }
    return scene.window ? &scene : nullptr;
}

// range(0): rotation of both images in degrees; range(1): 0 two rings overlapping by a corner
// (hit), 1 the block inside the ring (no hit, full scan).
void BM_ImagesOverlapTransformed(benchmark::State& state) {
    TCollisionScene* scene = Scene();
    if (!scene) {
        state.SkipWithError("no display for an OpenGL window");
        return;
    }
    const auto degrees = static_cast<float>(state.range(0));
    const bool inHole = state.range(1) == 1;
    const Ref<TImage>& second = inHole ? scene->block : scene->ring;
    const float offset = inHole ? 0.0f : 40.0f;
    const bool expected = !inHole;
    for (auto _ : state) {
        const bool hit = ImagesOverlapTransformed(scene->ring, 100, 100, 0, degrees, 1, 1, second,
                                                  100 + offset, 100 + offset, 0, degrees, 1, 1);
        if (hit != expected) {
            state.SkipWithError("unexpected collision result");
            return;
        }
        benchmark::DoNotOptimize(hit);
    }
}
BENCHMARK(BM_ImagesOverlapTransformed)
    ->ArgsProduct({{0, 30}, {0, 1}})
    ->ArgNames({"degrees", "inHole"})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
