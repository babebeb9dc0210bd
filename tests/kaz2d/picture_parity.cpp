#include "tests/kaz2d/picture_parity.h"

#include <algorithm>
#include <cstdlib>

#include "core/text.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/kaz2d_module.h"
#include "kaz2d/renderer_table.h"
#include "pixmap/pixmap_save.h"

namespace qrv::testing {

namespace {

constexpr double kPixelShare = 0.005;

int32_t LargestChannelDifference(uint32_t a, uint32_t b) {
    int32_t largest = 0;
    for (int shift : {0, 8, 16}) {
        const int32_t difference =
            std::abs(static_cast<int32_t>((a >> shift) & 0xFF) - static_cast<int32_t>((b >> shift) & 0xFF));
        largest = std::max(largest, difference);
    }
    return largest;
}

}  // namespace

::testing::AssertionResult RenderersAgree(const Ref<TPixmap>& fixed, const Ref<TPixmap>& shader,
                                          const std::string& stem, int32_t channelTolerance) {
    if (!fixed || !shader) return ::testing::AssertionFailure() << stem << ": a picture is missing";
    if (fixed->Width() != shader->Width() || fixed->Height() != shader->Height())
        return ::testing::AssertionFailure() << stem << ": the pictures differ in size";
    const int32_t w = fixed->Width();
    const int32_t h = fixed->Height();
    Ref<TPixmap> diff = NewPixmap(w, h, FormatRGBA8888, 4);
    int64_t differing = 0;
    int32_t largest = 0;
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const int32_t d = LargestChannelDifference(fixed->GetPixelARGB(x, y), shader->GetPixelARGB(x, y));
            diff->SetPixelARGB(x, y, d == 0 ? 0xFF000000u : d > channelTolerance ? 0xFFFFFFFFu : 0xFF808080u);
            differing += d != 0;
            largest = std::max(largest, d);
        }
    }
    const auto allowed = static_cast<int64_t>(kPixelShare * w * h);
    if (largest <= channelTolerance && differing <= allowed) return ::testing::AssertionSuccess();
    const bool saved = SavePixmapPNG(fixed, FromUtf8(stem + "-fixed.png"), 6) &&
                       SavePixmapPNG(shader, FromUtf8(stem + "-shader.png"), 6) &&
                       SavePixmapPNG(diff, FromUtf8(stem + "-diff.png"), 6);
    return ::testing::AssertionFailure()
           << stem << ": " << differing << " pixels differ (at most " << allowed
           << " may), by up to " << largest << " per channel (at most " << channelTolerance
           << "); " << (saved ? "saved " + stem + "-fixed.png, -shader.png and -diff.png" : "could not save the pictures");
}

Ref<TPixmap> DrawnBy(const char* renderer, const std::function<void()>& draw, int32_t size) {
    if (!SelectRenderer(renderer)) return nullptr;
    if (!OpenGraphicsWindow(size, size, 0, 0, 0)) return nullptr;
    draw();
    Ref<TPixmap> picture = GrabPixmapRect(0, 0, size, size);
    CloseGraphicsWindow();
    return picture;
}

void DrawShapes() {
    SetClearColor(30, 60, 90);
    ClearScreen();
    SetDrawColor(250, 200, 20);
    FillRect(5, 5, 30, 12);
    SetDrawTransform(30, 1.5f, 0.75f);
    FillRect(60, 10, 40, 20);
    FillEllipse(150, 10, 50, 30);
    SetDrawTransform(0, 1, 1);
    SetBlendMode(BLEND_ALPHA);
    SetDrawAlpha(0.4f);
    SetDrawColor(20, 255, 120);
    // Concave: the fan's triangles overlap, and blending shows where.
    FillPolygonPoints({10, 60, 70, 60, 40, 75, 70, 100, 10, 100});
    FillEllipse(200, 50, 7, 5);
    SetBlendMode(BLEND_LIGHT);
    FillRect(20, 70, 40, 20);
    SetBlendMode(BLEND_SHADE);
    SetDrawColor(128, 64, 255);
    FillRect(0, 0, 50, 50);
    SetBlendMode(BLEND_MASK);
    SetDrawAlpha(1.0f);
    SetDrawColor(255, 255, 255);
    for (int32_t i = 0; i < 20; ++i) PlotPoint(static_cast<float>(10 + i * 3), 120);
    DrawLineSegment(10, 125, 70, 140, false);
    DrawLineSegment(70, 150, 65, 190, true);
}

}  // namespace qrv::testing
