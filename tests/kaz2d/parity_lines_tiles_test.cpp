// Wide lines and tiles off the pixel grid: every shader profile the display makes covers the
// pixels and picks the texels the fixed-function renderer does.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>

#include "framework/framework.h"
#include "kaz2d/gl/gl_context.h"
#include "kaz2d/glshader/glshader_module.h"
#include "kaz2d/image.h"
#include "kaz2d/image_module.h"
#include "kaz2d/kaz2d_module.h"
#include "system/application.h"
#include "tests/kaz2d/picture_parity.h"

namespace qrv::testing {
namespace {

// Every texel unlike its neighbours, all opaque.
Ref<TPixmap> Gradient(int32_t w, int32_t h) {
    Ref<TPixmap> pixmap = NewPixmap(w, h, FormatRGBA8888, 4);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            pixmap->SetPixelARGB(x, y, 0xFF000000u | uint32_t(x * 5 % 256) << 8 | uint32_t((y * 7 + 10) % 256));
    return pixmap;
}

// Upright and level lines of even and odd widths both ways, then lines of every slope with
// ends on pixel centres (integer positions) and on quarter pixels.
void DrawWideLines() {
    SetClearColor(0, 0, 0);
    ClearScreen();
    uint32_t seed = 24;
    const auto next = [&seed](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<float>((seed >> 8) % range);
    };
    for (int32_t width = 2; width <= 5; ++width) {
        SetLineThickness(static_cast<float>(width));
        const float at = 12.0f + 16.0f * static_cast<float>(width);
        SetDrawColor(255, 255, 255);
        DrawLineSegment(at, 4, at, 250, false);
        DrawLineSegment(at + 8, 250, at + 8, 4, false);
        DrawLineSegment(4, at + 100, 250, at + 100, false);
        DrawLineSegment(250, at + 108, 4, at + 108, false);
        for (int32_t i = 0; i < 40; ++i) {
            SetDrawColor(i * 6, 255 - i * 6, 40 * width);
            const float quarter = i < 30 ? 0.0f : 0.25f;
            DrawLineSegment(next(240) + 8, next(240) + 8, next(240) + 8 + quarter, next(240) + 8 - quarter, false);
        }
    }
}

class LineAndTileParity : public ::testing::Test {
protected:
    void SetUp() override {
        SetApplicationTitle(u"Line and tile parity");
        InitRendererModules();
        if (!AvailableGLShaderDriver()) GTEST_SKIP() << "no core or ES context on this display";
    }

    static void ExpectEveryProfileAgrees(const std::function<void()>& draw, const std::string& name) {
        const Ref<TPixmap> fixed = DrawnBy("opengl", draw);
        for (const auto& [profile, renderer] :
             {std::pair{TGLProfile::Core, "glcore"}, {TGLProfile::ES, "gles"}, {TGLProfile::ES2, "gles2"}}) {
            if (!CanCreateGLContext(profile)) continue;
            const std::string stem = (std::filesystem::temp_directory_path() / (name + "-" + renderer)).string();
            EXPECT_TRUE(RenderersAgree(fixed, DrawnBy(renderer, draw), stem)) << renderer;
        }
    }
};

TEST_F(LineAndTileParity, WideLinesCoverTheSamePixels) {
    ExpectEveryProfileAgrees(DrawWideLines, "parity-wide-lines");
}

// Pixel centres on texel edges: a texture of its own and a cell of the atlas, half a pixel
// down, across, and both.
TEST_F(LineAndTileParity, TilesHalfAPixelOffPickTheSameTexels) {
    const Ref<TImage> large = TImage::Load(Gradient(200, 150), 0, 0, 0, 0);
    const Ref<TImage> small = TImage::Load(Gradient(13, 7), 0, 0, 0, 0);
    ASSERT_TRUE(large && small);
    ExpectEveryProfileAgrees([&] {
        TileImageAt(large, 0, 0.5f, 0);
        SetViewportRect(0, 160, 256, 40);
        TileImageAt(small, 0.5f, 0, 0);
        SetViewportRect(0, 200, 256, 56);
        TileImageAt(large, 0.5f, 0.5f, 0);
        SetViewportRect(0, 0, 256, 256);
    }, "parity-tiles");
}

// Moved on by more than half a pixel, the tiles still reach the viewport's first row and column.
TEST_F(LineAndTileParity, FractionalTilesCoverTheWholeViewport) {
    const Ref<TPixmap> red = NewPixmap(16, 16, FormatRGBA8888, 4);
    for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 16; ++x) red->SetPixelARGB(x, y, 0xFFFF0000u);
    const Ref<TImage> tile = TImage::Load(red, 0, 0, 0, 0);
    ASSERT_TRUE(tile);
    for (const char* renderer : {"opengl", "glcore"}) {
        const Ref<TPixmap> picture = DrawnBy(renderer, [&] {
            SetClearColor(0, 0, 255);
            ClearScreen();
            SetViewportRect(10, 10, 40, 40);
            TileImageAt(tile, 10.75f, 26.5f, 0);  // whole tiles past the viewport start, and a fraction
        });
        ASSERT_TRUE(picture) << renderer;
        int32_t uncovered = 0;
        for (int32_t y = 10; y < 50; ++y)
            for (int32_t x = 10; x < 50; ++x) uncovered += (picture->GetPixelARGB(x, y) & 0xFFFFFF) != 0xFF0000;
        EXPECT_EQ(uncovered, 0) << renderer;
    }
}

}  // namespace
}  // namespace qrv::testing
