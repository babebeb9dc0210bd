// The shader renderer beside the fixed-function one: the same drawing gives the same picture,
// consecutive draws of one texture go to the GPU together, and the start-up choice of renderer.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>

#include "core/text.h"
#include "framework/framework.h"
#include "kaz2d/gl/gl_context.h"
#include "kaz2d/glfixed/glfixed_kaz2d_driver.h"
#include "kaz2d/glshader/glshader_kaz2d_driver.h"
#include "kaz2d/glshader/glshader_module.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/image_module.h"
#include "kaz2d/kaz2d_module.h"
#include "kaz2d/renderer_table.h"
#include "kaz2d/text_drawing.h"
#include "system/application.h"
#include "tests/kaz2d/picture_parity.h"

namespace qrv::testing {
namespace {

constexpr int32_t kSize = 256;

// A picture with every kind of pixel: colours that vary, partial and zero alpha.
Ref<TPixmap> PatternPixmap(int32_t w, int32_t h) {
    Ref<TPixmap> pixmap = NewPixmap(w, h, FormatRGBA8888, 4);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            pixmap->SetPixelARGB(x, y, uint32_t((x * 37 + y * 11) % 256) << 24 | uint32_t(x * 9 % 256) << 16 |
                                           uint32_t(y * 13 % 256) << 8 | uint32_t((x ^ y) * 5 % 256));
    return pixmap;
}

// Lines of widths 1 to 5 in every direction.
void DrawWideLines() {
    SetClearColor(30, 60, 90);
    ClearScreen();
    for (int32_t width = 1; width <= 5; ++width) {
        SetLineThickness(static_cast<float>(width));
        const float x = 30.0f * static_cast<float>(width);
        DrawLineSegment(x, 60, x + 20, 70, width % 2 == 0);
        DrawLineSegment(x, 80, x + 4, 110, width % 2 != 0);
        DrawLineSegment(x + 20, 115, x, 115, false);
        DrawLineSegment(x + 3, 160, x, 125, false);
        DrawLineSegment(x + 15, 183, x, 170, width % 2 == 0);
        DrawLineSegment(x, 205, x + 12, 190, false);
    }
    SetLineThickness(1);
}

void DrawImagesAndText(const Ref<TImage>& filtered, const Ref<TImage>& masked) {
    SetBlendMode(BLEND_ALPHA);
    SetDrawColor(255, 255, 255);
    DrawImageAt(filtered, 10, 130, 0);
    SetDrawTransform(-20, 1.25f, 1.25f);
    DrawImageAt(filtered, 100, 140, 0);
    SetDrawTransform(0, 1, 1);
    SetBlendMode(BLEND_MASK);
    SetDrawColor(255, 128, 128);
    DrawImageRectAt(masked, 170, 130, 60, 30, 0);
    SetViewportRect(10, 200, 100, 40);
    TileImageAt(masked, 3, 2, 0);
    SetViewportRect(0, 0, kSize, kSize);
    SetDrawColor(255, 255, 0);
    DrawTextAt(u"Kaz2D: 0123 xyz", 120, 200);
    SetDrawScale(2, 1);
    DrawTextAt(u"wide", 120, 220);
    SetDrawScale(1, 1);
    DrawPixmapAt(PatternPixmap(12, 9), 240, 240);
}

class RendererParity : public ::testing::Test {
protected:
    void SetUp() override {
        SetApplicationTitle(u"Renderer test");
        InitRendererModules();
        if (!AvailableGLShaderDriver()) GTEST_SKIP() << "no core or ES context on this display";
    }
    std::string Stem(const char* name) const {
        return (std::filesystem::temp_directory_path() / name).string();
    }
};

TEST_F(RendererParity, ShapesBlendsPointsAndThinLines) {
    EXPECT_TRUE(RenderersAgree(DrawnBy("opengl", DrawShapes), DrawnBy("glcore", DrawShapes),
                               Stem("parity-shapes")));
}

TEST_F(RendererParity, WideLinesCoverTheSamePixels) {
    EXPECT_TRUE(RenderersAgree(DrawnBy("opengl", DrawWideLines), DrawnBy("glcore", DrawWideLines),
                               Stem("parity-lines")));
}

// More vertices than 16-bit indices reach: a polygon of 70,000 points and the largest ellipse.
void DrawHugeShapes() {
    std::vector<float> points;
    for (int32_t i = 0; i < 70000; ++i) {
        const double angle = i * 2.0 * 3.14159265358979 / 70000.0;
        points.push_back(static_cast<float>(128.0 + 100.0 * std::cos(angle)));
        points.push_back(static_cast<float>(128.0 + 60.0 * std::sin(3.0 * angle)));
    }
    SetBlendMode(BLEND_ALPHA);
    SetDrawAlpha(0.5f);
    FillPolygonPoints(points);
    SetDrawColor(255, 0, 0);
    FillEllipse(-1e6f, 200, 2e6f, 20);
}

TEST_F(RendererParity, ShapesBeyondOneDrawCallsIndices) {
    EXPECT_TRUE(RenderersAgree(DrawnBy("opengl", DrawHugeShapes), DrawnBy("glcore", DrawHugeShapes),
                               Stem("parity-huge")));
}

// Runs of quads, whose indices the shader renderer does not write while a draw call holds quads
// alone: a short run, then one longer than a draw call holds, with an ellipse joining it and
// quads after that; half transparent and overlapping, so a quad drawn from the wrong vertices
// or out of order shows.
void DrawQuadRuns() {
    SetClearColor(0, 0, 0);
    ClearScreen();
    SetBlendMode(BLEND_ALPHA);
    SetDrawAlpha(0.5f);
    for (int32_t i = 0; i < 100; ++i) {
        SetDrawColor(255, i * 2, 0);
        FillRect(static_cast<float>(i), static_cast<float>(i % 7), 3, 3);
    }
    SetDrawAlpha(0.6f);
    for (int32_t i = 0; i < 20000; ++i) {
        SetDrawColor(i % 256, i / 256 * 3 % 256, 128);
        FillRect(static_cast<float>(i % 230), static_cast<float>(10 + i / 230 * 2), 3, 3);
        if (i == 300) FillEllipse(100, 100, 30, 20);
    }
}

TEST_F(RendererParity, RunsOfQuadsLongerThanADrawCall) {
    const Ref<TPixmap> fixed = DrawnBy("opengl", DrawQuadRuns);
    EXPECT_TRUE(RenderersAgree(fixed, DrawnBy("glcore", DrawQuadRuns), Stem("parity-quads")));
    if (CanCreateGLContext(TGLProfile::ES2)) {
        EXPECT_TRUE(RenderersAgree(fixed, DrawnBy("gles2", DrawQuadRuns), Stem("parity-quads-es2")));
    }
}

TEST_F(RendererParity, TurnedFilteredImagesTilesTextAndPixmaps) {
    const Ref<TImage> filtered = TImage::Load(PatternPixmap(50, 40), IMG_FILTERED | IMG_MIPMAPPED, 0, 0, 0);
    const Ref<TImage> masked = TImage::Load(PatternPixmap(13, 7), IMG_MASKED, 0, 0, 0);
    ASSERT_TRUE(filtered && masked);
    CentreImageHandle(filtered);
    const auto draw = [&] { DrawShapes(), DrawImagesAndText(filtered, masked); };
    EXPECT_TRUE(RenderersAgree(DrawnBy("opengl", draw), DrawnBy("glcore", draw),
                               Stem("parity-images")));
}

TEST_F(RendererParity, ESContextsDrawTheSameWhereTheyExist) {
    // A glyph cut from a wider picture has rows longer than its width.
    const Ref<TPixmap> strip = PatternPixmap(40, 7);
    const Ref<TImage> masked = TImage::Load(strip->SubRegion(3, 0, 13, 7), IMG_MASKED, 0, 0, 0);
    const Ref<TImage> filtered = TImage::Load(PatternPixmap(50, 40), IMG_FILTERED | IMG_MIPMAPPED, 0, 0, 0);
    const auto draw = [&] { DrawShapes(), DrawImagesAndText(filtered, masked); };
    const Ref<TPixmap> fixed = DrawnBy("opengl", draw);
    for (const auto& [profile, name] : {std::pair{TGLProfile::ES, "gles"}, {TGLProfile::ES2, "gles2"}}) {
        if (!CanCreateGLContext(profile)) continue;
        const Ref<TPixmap> es = DrawnBy(name, draw);
        ASSERT_TRUE(es) << name;
        EXPECT_TRUE(RenderersAgree(fixed, es, Stem(name))) << name;
    }
}

TEST_F(RendererParity, ConsecutiveDrawsOfOneTextureAreOneDrawCall) {
    ASSERT_TRUE(SelectRenderer("glcore"));
    ASSERT_TRUE(OpenGraphicsWindow(kSize, kSize, 0, 0, 0));
    const auto driver = std::dynamic_pointer_cast<TGLShaderKaz2DDriver>(CurrentKaz2DDriver());
    ASSERT_TRUE(driver);
    const Ref<TImage> a = TImage::Load(PatternPixmap(8, 8), 0, 0, 0, 0);
    // Filtered: a texture of its own, not a cell of the atlas a shares.
    const Ref<TImage> b = TImage::Load(PatternPixmap(4, 4), IMG_FILTERED, 0, 0, 0);
    DrawImageAt(a, 0, 0, 0);
    DrawImageAt(b, 0, 0, 0);
    (void)GrabPixmapRect(0, 0, 1, 1);  // frames made, queue sent

    int64_t before = driver->DrawCallCount();
    for (int32_t i = 0; i < 500; ++i) {
        SetDrawColor(i % 256, 255, 0);  // colour and matrix travel with the vertices
        SetDrawRotation(static_cast<float>(i));
        DrawImageAt(a, static_cast<float>(i % 200), 50, 0);
    }
    SetDrawRotation(0);
    EXPECT_EQ(driver->DrawCallCount(), before) << "nothing is sent while draws can still join";
    (void)GrabPixmapRect(0, 0, 1, 1);
    EXPECT_EQ(driver->DrawCallCount(), before + 1);

    before = driver->DrawCallCount();
    DrawImageAt(a, 0, 0, 0);
    DrawImageAt(b, 0, 0, 0);  // another texture
    DrawImageAt(a, 0, 0, 0);
    SetBlendMode(BLEND_ALPHA);  // another state
    DrawImageAt(a, 0, 0, 0);
    PresentFrame(0);
    EXPECT_EQ(driver->DrawCallCount(), before + 4);
    CloseGraphicsWindow();
}

TEST_F(RendererParity, TextFromTheAtlasIsOneDrawCallAndItsCellsAreReusedSafely) {
    ASSERT_TRUE(SelectRenderer("glcore"));
    ASSERT_TRUE(OpenGraphicsWindow(kSize, kSize, 0, 0, 0));
    const auto driver = std::dynamic_pointer_cast<TGLShaderKaz2DDriver>(CurrentKaz2DDriver());
    ASSERT_TRUE(driver);
    std::vector<Ref<TImage>> glyphs;
    for (int32_t i = 0; i < 40; ++i) glyphs.push_back(TImage::Load(PatternPixmap(9 + i % 5, 16), 0, 0, 0, 0));
    for (const Ref<TImage>& glyph : glyphs) DrawImageAt(glyph, 0, 0, 0);
    (void)GrabPixmapRect(0, 0, 1, 1);

    const int64_t before = driver->DrawCallCount();
    SetBlendMode(BLEND_ALPHA);
    for (size_t i = 0; i < glyphs.size(); ++i) DrawImageAt(glyphs[i], static_cast<float>(i * 6), 40, 0);
    (void)GrabPixmapRect(0, 0, 1, 1);
    EXPECT_EQ(driver->DrawCallCount(), before + 1) << "a line of glyphs is one draw call";

    // A write drops the frame and frees its cell, which the rebuilt frame takes again: the quad
    // queued before still shows the old pixels, the one after the new.
    SetBlendMode(BLEND_SOLID);
    const Ref<TPixmap> red = NewPixmap(8, 8, FormatRGBA8888, 4);
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 8; ++x) red->SetPixelARGB(x, y, 0xFFFF0000);
    glyphs[0] = TImage::Load(red, 0, 0, 0, 0);
    DrawImageAt(glyphs[0], 0, 0, 0);
    glyphs[0]->Lock(0, false, true)->SetPixelARGB(2, 2, 0xFF00FF00);
    DrawImageAt(glyphs[0], 20, 0, 0);
    const auto pixelAt = [](int32_t x, int32_t y) { return GrabPixmapRect(x, y, 1, 1)->GetPixelARGB(0, 0) & 0xFFFFFF; };
    EXPECT_EQ(pixelAt(2, 2), 0xFF0000u);
    EXPECT_EQ(pixelAt(22, 2), 0x00FF00u);

    CloseGraphicsWindow();
}

class RendererChoice : public ::testing::Test {
protected:
    void SetUp() override {
        InitRendererModules();
        if (!AvailableGLShaderDriver()) GTEST_SKIP() << "no core or ES context on this display";
    }
    void TearDown() override { RefuseShaderProfiles(false); }
    static void RefuseShaderProfiles(bool refused) {
        for (TGLProfile profile : {TGLProfile::Core, TGLProfile::ES, TGLProfile::ES2})
            SetGLProfileRefused(profile, refused);
    }
    static std::string Selected() { return ToUtf8(CurrentGraphicsDriver()->ToString()); }
};

TEST_F(RendererChoice, TheShaderRendererIsPreferredAndAChoiceOverridesIt) {
    SelectStartupRenderer(nullptr);
    EXPECT_EQ(Selected(), ToUtf8(AvailableGLShaderDriver()->ToString()));
    SelectStartupRenderer("opengl");
    EXPECT_EQ(Selected(), "OpenGL");
    SelectStartupRenderer("");
    EXPECT_NE(Selected(), "OpenGL") << "an empty choice is no choice";
    EXPECT_FALSE(SelectRenderer("vulkan"));
    EXPECT_NE(Selected(), "OpenGL") << "an unknown name changes nothing";
}

TEST_F(RendererChoice, ARendererThatCannotBeMadeIsPassedOverAndANameIsEnteredOnce) {
    (void)RegisterRenderer({"nowhere", 1000, [] { return Ref<TKaz2DDriver>(); }});
    EXPECT_FALSE(RegisterRenderer({"opengl", 2000, [] {
        return Ref<TKaz2DDriver>(TGLKaz2DDriver::Instance());
    }})) << "a name already in the table";
    SelectStartupRenderer(nullptr);
    EXPECT_EQ(Selected(), ToUtf8(AvailableGLShaderDriver()->ToString()));
    EXPECT_FALSE(SelectRenderer("nowhere"));
    EXPECT_NE(Selected(), "OpenGL");
}

TEST_F(RendererChoice, WithoutCoreOrESContextsTheFixedFunctionRendererStaysAndDraws) {
    RefuseShaderProfiles(true);
    ASSERT_TRUE(SelectRenderer("opengl"));
    SelectStartupRenderer(nullptr);
    EXPECT_EQ(Selected(), "OpenGL");
    SelectStartupRenderer("glcore");
    EXPECT_EQ(Selected(), "OpenGL") << "a choice that cannot be made leaves the renderer";
    EXPECT_FALSE(AvailableGLShaderDriver());
    ASSERT_TRUE(OpenGraphicsWindow(64, 64, 0, 0, 0));
    FillRect(0, 0, 4, 4);
    const Ref<TPixmap> pixel = GrabPixmapRect(1, 1, 1, 1);
    ASSERT_TRUE(pixel);
    EXPECT_EQ(pixel->GetPixelARGB(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    CloseGraphicsWindow();
}

TEST_F(RendererChoice, ARefusedProfileMakesNoContexts) {
    ASSERT_TRUE(SelectRenderer("glcore"));
    RefuseShaderProfiles(true);
    EXPECT_FALSE(OpenGraphicsWindow(64, 64, 0, 0, 0));
    EXPECT_FALSE(DefaultGraphics());
}

}  // namespace
}  // namespace qrv::testing
