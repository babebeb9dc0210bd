// Drawing into images: the drawing lands in the image the right way up, the image keeps it
// when drawing goes back to the window (by call, present or close), an image is never drawn
// into itself, both renderers draw the same into images as onto the window, and where drawing
// into images cannot be had it fails with a reason and leaves drawing on the window.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "framework/framework.h"
#include "kaz2d/draw_target.h"
#include "kaz2d/gl/gl_context.h"
#include "kaz2d/gl/gl_framebuffer.h"
#include "kaz2d/glshader/glshader_module.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/image_module.h"
#include "kaz2d/kaz2d_module.h"
#include "kaz2d/renderer_table.h"
#include "kaz2d/text_drawing.h"
#include "system/application.h"
#include "tests/kaz2d/kaz2d_window.h"
#include "tests/kaz2d/picture_parity.h"

namespace qrv::testing {
namespace {

uint32_t ImagePixel(const Ref<TImage>& image, int32_t x, int32_t y, int32_t frame = 0) {
    const Ref<TPixmap> pixels = image->Pixels(frame);
    return pixels ? pixels->GetPixelARGB(x, y) & 0xFFFFFFu : 0xDEADBEEFu;
}

class DrawTarget : public Kaz2DWindow {
protected:
    void SetUp() override {
        Kaz2DWindow::SetUp();
        SetClearColor(0, 0, 0);
        ClearScreen();
    }
    void TearDown() override {
        SetGLFramebuffersRefused(false);
        Kaz2DWindow::TearDown();
    }
};

// Not a power of two, and small and unfiltered: its frame would otherwise be an atlas cell.
TEST_P(DrawTarget, DrawingLandsInTheImageTheRightWayUpAndTheWindowIsLeftAlone) {
    const Ref<TImage> image = CreateBlankImage(100, 60, 1, 0);
    SetBlendMode(BLEND_SOLID);
    SetDrawColor(0, 255, 0);
    FillRect(0, 0, 8, 8);  // queued on the window: must reach it, not the image
    ASSERT_TRUE(SetDrawTarget(image)) << DrawTargetFailureReason();
    EXPECT_EQ(DrawTargetImage(), image);
    int32_t x = 0, y = 0, w = 0, h = 0;
    GetViewportRect(x, y, w, h);
    EXPECT_EQ(std::vector<int32_t>({x, y, w, h}), std::vector<int32_t>({0, 0, 100, 60}));
    SetClearColor(0, 0, 255);
    ClearScreen();
    SetDrawColor(255, 0, 0);
    FillRect(10, 5, 20, 10);
    DrawPixmapAt(SolidPixmap(3, 2, 0xFFFFFF00), 90, 50);
    EXPECT_EQ(PixelAt(10, 5), 0xFF0000u) << "reading back reads the image";
    ASSERT_TRUE(SetDrawTarget(nullptr));
    EXPECT_FALSE(DrawTargetImage());
    GetViewportRect(x, y, w, h);
    EXPECT_EQ(std::vector<int32_t>({x, y, w, h}), std::vector<int32_t>({0, 0, kSize, kSize}));

    EXPECT_EQ(PixelAt(4, 4), 0x00FF00u);
    EXPECT_EQ(PixelAt(12, 7), 0x000000u) << "the window got the image's drawing";
    EXPECT_EQ(PixelAt(99, 59), 0x000000u);
    // The image's kept pixels hold the drawing.
    EXPECT_EQ(ImagePixel(image, 10, 5), 0xFF0000u);
    EXPECT_EQ(ImagePixel(image, 29, 14), 0xFF0000u);
    EXPECT_EQ(ImagePixel(image, 10, 4), 0x0000FFu);
    EXPECT_EQ(ImagePixel(image, 30, 15), 0x0000FFu);
    EXPECT_EQ(ImagePixel(image, 91, 51), 0xFFFF00u);
    EXPECT_EQ(ImagePixel(image, 93, 51), 0x0000FFu);

    // Drawn like any image, from the frame drawn into.
    SetDrawColor(255, 255, 255);
    DrawImageAt(image, 200, 100, 0);
    EXPECT_EQ(PixelAt(210, 105), 0xFF0000u);
    EXPECT_EQ(PixelAt(200, 100), 0x0000FFu);
    EXPECT_EQ(PixelAt(299, 159), 0x0000FFu);
    EXPECT_EQ(PixelAt(292, 151), 0xFFFF00u);
    EXPECT_EQ(PixelAt(300, 160), 0x000000u) << "the texture's padding is not drawn";
}

// Frames made again from the kept pixels (after a write, a release or for a new window) show
// the drawing, and what the image held before stays where nothing was drawn.
TEST_P(DrawTarget, TheDrawingOutlivesItsFrameAndDrawingAddsToWhatWasThere) {
    const Ref<TImage> image = TImage::Load(SolidPixmap(40, 30, 0xFF336699), IMG_FILTERED, 0, 0, 0);
    DrawImageAt(image, 0, 0, 0);  // a frame made before, which cannot be drawn into
    ASSERT_TRUE(SetDrawTarget(image)) << DrawTargetFailureReason();
    SetDrawColor(255, 255, 255);
    SetBlendMode(BLEND_SOLID);
    FillRect(0, 0, 10, 10);
    ASSERT_TRUE(SetDrawTarget(nullptr));
    EXPECT_EQ(ImagePixel(image, 5, 5), 0xFFFFFFu);
    EXPECT_EQ(ImagePixel(image, 20, 20), 0x336699u);

    // Drawn into a second time, through the same frame.
    ASSERT_TRUE(SetDrawTarget(image));
    FillRect(30, 20, 10, 10);
    ASSERT_TRUE(SetDrawTarget(nullptr));
    EXPECT_EQ(ImagePixel(image, 5, 5), 0xFFFFFFu);
    EXPECT_EQ(ImagePixel(image, 35, 25), 0xFFFFFFu);

    image->ReleaseFrames();
    DrawImageAt(image, 100, 100, 0);
    EXPECT_EQ(PixelAt(105, 105), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(120, 120), 0x336699u);
    EXPECT_EQ(PixelAt(135, 125), 0xFFFFFFu);
}

// Filtering at the image's edges blends in the texel beyond them, which must be the drawn edge.
TEST_P(DrawTarget, AFilteredImageDrawnLargerShowsItsDrawnEdges) {
    const Ref<TImage> image = TImage::Load(SolidPixmap(40, 30, 0xFF0000FF), IMG_FILTERED, 0, 0, 0);
    ASSERT_TRUE(SetDrawTarget(image)) << DrawTargetFailureReason();
    SetBlendMode(BLEND_SOLID);
    SetDrawColor(255, 255, 255);
    FillRect(0, 0, 40, 30);
    ASSERT_TRUE(SetDrawTarget(nullptr));
    DrawImageRectAt(image, 0, 0, 320, 240, 0);
    ExpectScreenMatches(0, 0, SolidPixmap(320, 240, 0xFFFFFFFF), 2);
}

TEST_P(DrawTarget, PresentingAndClosingTheWindowEndTheTargetKeepingTheDrawing) {
    const Ref<TImage> image = CreateBlankImage(32, 32, 1, 0);
    SetBlendMode(BLEND_SOLID);
    ASSERT_TRUE(SetDrawTarget(image)) << DrawTargetFailureReason();
    SetDrawColor(255, 0, 0);
    FillRect(0, 0, 16, 16);
    PresentFrame(0);
    EXPECT_FALSE(DrawTargetImage());
    EXPECT_EQ(ImagePixel(image, 8, 8), 0xFF0000u);
    FillRect(100, 100, 4, 4);
    EXPECT_EQ(PixelAt(101, 101), 0xFF0000u) << "drawing goes to the window after a present";

    ASSERT_TRUE(SetDrawTarget(image));
    SetDrawColor(0, 0, 255);
    FillRect(16, 16, 16, 16);
    CloseGraphicsWindow();
    EXPECT_FALSE(DrawTargetImage());
    EXPECT_EQ(ImagePixel(image, 8, 8), 0xFF0000u);
    EXPECT_EQ(ImagePixel(image, 20, 20), 0x0000FFu);

    // The next window draws the image from the kept pixels.
    ASSERT_TRUE(OpenGraphicsWindow(kSize, kSize, 0, 0, 0));
    SetBlendMode(BLEND_SOLID);
    DrawImageAt(image, 0, 0, 0);
    EXPECT_EQ(PixelAt(8, 8), 0xFF0000u);
    EXPECT_EQ(PixelAt(20, 20), 0x0000FFu);
}

TEST_P(DrawTarget, AFrameIsNotDrawnIntoItselfButIntoAnotherFrameOfItsImage) {
    const Ref<TImage> image = CreateBlankImage(20, 20, 2, 0);
    image->SetPixmap(0, SolidPixmap(20, 20, 0xFF00FF00));
    image->SetPixmap(1, SolidPixmap(20, 20, 0xFFFF0000));
    SetBlendMode(BLEND_SOLID);
    ASSERT_TRUE(SetDrawTarget(image, 0)) << DrawTargetFailureReason();
    SetDrawScale(0.5f, 0.5f);
    DrawImageAt(image, 0, 0, 0);   // itself: nothing
    SetDrawScale(1, 1);
    DrawImageAt(image, 10, 10, 1);  // its other frame
    TileImageAt(image, 0, 0, 0);    // itself again: nothing
    ASSERT_TRUE(SetDrawTarget(nullptr));
    EXPECT_EQ(ImagePixel(image, 2, 2), 0x00FF00u);
    EXPECT_EQ(ImagePixel(image, 15, 15), 0xFF0000u);
    EXPECT_EQ(ImagePixel(image, 15, 15, 1), 0xFF0000u);
}

TEST_P(DrawTarget, RefusalsSayWhyAndLeaveDrawingOnTheWindow) {
    const Ref<TImage> image = CreateBlankImage(16, 16, 1, 0);
    EXPECT_FALSE(SetDrawTarget(image, 1));
    EXPECT_NE(DrawTargetFailureReason().find("frame 1"), std::string::npos) << DrawTargetFailureReason();
    EXPECT_FALSE(SetDrawTarget(CreateBlankImage(0, 5, 1, 0)));
    EXPECT_FALSE(DrawTargetFailureReason().empty());
    EXPECT_TRUE(SetDrawTarget(nullptr));
    EXPECT_TRUE(DrawTargetFailureReason().empty());

    // Where OpenGL has no framebuffer objects (only a compatibility context may lack them).
    SetGLFramebuffersRefused(true);
    if (FixedFunction()) {
        EXPECT_FALSE(SetDrawTarget(image));
        EXPECT_NE(DrawTargetFailureReason().find("framebuffer"), std::string::npos)
            << DrawTargetFailureReason();
        EXPECT_FALSE(DrawTargetImage());
        SetDrawColor(255, 0, 0);
        FillRect(0, 0, 4, 4);
        EXPECT_EQ(PixelAt(1, 1), 0xFF0000u);
    } else {
        EXPECT_TRUE(SetDrawTarget(image)) << DrawTargetFailureReason();
    }
    SetGLFramebuffersRefused(false);
    EXPECT_TRUE(SetDrawTarget(nullptr));

    CloseGraphicsWindow();
    EXPECT_FALSE(SetDrawTarget(image));
    EXPECT_NE(DrawTargetFailureReason().find("no graphics context"), std::string::npos);
}

KAZ2D_TEST_ON_EACH_RENDERER(DrawTarget);

constexpr int32_t kScene = 200;

// A scene of every kind of drawing, with a cleared background.
void DrawScene(const Ref<TImage>& picture) {
    DrawShapes();
    SetDrawTransform(-20, 1.25f, 1.25f);
    DrawImageAt(picture, 100, 110, 0);
    SetDrawTransform(0, 1, 1);
    SetViewportRect(120, 160, 60, 30);
    TileImageAt(picture, 3, 2, 0);
    SetViewportRect(0, 0, kScene, kScene);
    SetDrawColor(255, 255, 0);
    DrawTextAt(u"Kaz2D 0123", 80, 60);
    Ref<TPixmap> block = NewPixmap(12, 9, FormatRGBA8888, 4);
    for (int32_t y = 0; y < 9; ++y)
        for (int32_t x = 0; x < 12; ++x) block->SetPixelARGB(x, y, 0xFF000000u | uint32_t(x * 20) << 16 | uint32_t(y * 25));
    DrawPixmapAt(block, 180, 185);
}

class DrawTargetParity : public ::testing::Test {
protected:
    void SetUp() override {
        SetApplicationTitle(u"Draw target test");
        InitRendererModules();
        if (!AvailableGLShaderDriver()) GTEST_SKIP() << "no core or ES context on this display";
    }
    static std::string Stem(const std::string& name) {
        return (std::filesystem::temp_directory_path() / name).string();
    }
    static Ref<TImage> Picture() {
        Ref<TPixmap> pixmap = NewPixmap(24, 18, FormatRGBA8888, 4);
        for (int32_t y = 0; y < 18; ++y)
            for (int32_t x = 0; x < 24; ++x)
                pixmap->SetPixelARGB(x, y, uint32_t((x * 37 + y * 11) % 256) << 24 |
                                               uint32_t(x * 9 % 256) << 16 | uint32_t(y * 13 % 256) << 8 | 0x40);
        return TImage::Load(pixmap, IMG_FILTERED, 0, 0, 0);
    }

    // The scene drawn by the renderer onto the window, and drawn into an image that is then
    // drawn onto the window at (kScene, 0); both read back, and the image's kept pixels.
    struct Drawn {
        Ref<TPixmap> onWindow;
        Ref<TPixmap> throughImage;
        Ref<TPixmap> kept;
    };
    static Drawn DrawnBy(const char* renderer) {
        Drawn drawn;
        if (!SelectRenderer(renderer) || !OpenGraphicsWindow(2 * kScene, kScene, 0, 0, 0)) return drawn;
        const Ref<TImage> picture = Picture();
        const Ref<TImage> target = CreateBlankImage(kScene, kScene, 1, 0);
        SetViewportRect(0, 0, kScene, kScene);
        DrawScene(picture);
        SetViewportRect(0, 0, 2 * kScene, kScene);
        if (SetDrawTarget(target)) {
            DrawScene(picture);
            (void)SetDrawTarget(nullptr);
            SetBlendMode(BLEND_SOLID);
            SetDrawColor(255, 255, 255);
            DrawImageAt(target, kScene, 0, 0);
            drawn.kept = target->Pixels(0);
        }
        drawn.onWindow = GrabPixmapRect(0, 0, kScene, kScene);
        drawn.throughImage = GrabPixmapRect(kScene, 0, kScene, kScene);
        CloseGraphicsWindow();
        return drawn;
    }
};

TEST_F(DrawTargetParity, EachRendererDrawsIntoAnImageWhatItDrawsOnTheWindowAndBothAgree) {
    std::vector<std::pair<const char*, TGLProfile>> renderers{{"opengl", TGLProfile::Compatibility},
                                                              {"glcore", TGLProfile::Core},
                                                              {"gles", TGLProfile::ES},
                                                              {"gles2", TGLProfile::ES2}};
    const Drawn fixed = DrawnBy("opengl");
    ASSERT_TRUE(fixed.kept) << DrawTargetFailureReason();
    for (const auto& [name, profile] : renderers) {
        if (!CanCreateGLContext(profile)) continue;
        const Drawn drawn = profile == TGLProfile::Compatibility ? fixed : DrawnBy(name);
        ASSERT_TRUE(drawn.kept && drawn.onWindow && drawn.throughImage) << name << ": " << DrawTargetFailureReason();
        const std::string stem = std::string("target-") + name;
        EXPECT_TRUE(RenderersAgree(drawn.onWindow, drawn.throughImage, Stem(stem + "-window")))
            << name << ": the image drawn on the window differs from the window's drawing";
        EXPECT_TRUE(RenderersAgree(drawn.throughImage, drawn.kept, Stem(stem + "-kept")))
            << name << ": the image's kept pixels differ from its frame";
        EXPECT_TRUE(RenderersAgree(fixed.throughImage, drawn.throughImage, Stem(stem + "-parity")))
            << name << ": differs from the fixed-function renderer";
    }
}

// The fixed-function renderer's frames are not the shader renderer's: an image drawn into by
// one is drawn by the other from the kept pixels.
TEST_F(DrawTargetParity, AnImageDrawnIntoByOneRendererIsDrawnByTheOther) {
    const Ref<TImage> image = CreateBlankImage(64, 64, 1, IMG_FILTERED);
    for (const char* renderer : {"opengl", "glcore"}) {
        ASSERT_TRUE(SelectRenderer(renderer));
        ASSERT_TRUE(OpenGraphicsWindow(128, 128, 0, 0, 0));
        SetBlendMode(BLEND_SOLID);
        DrawImageAt(image, 0, 0, 0);
        if (std::string(renderer) == "glcore") {
            EXPECT_EQ(GrabPixmapRect(5, 5, 1, 1)->GetPixelARGB(0, 0) & 0xFFFFFF, 0xFF0000u);
        } else {
            ASSERT_TRUE(SetDrawTarget(image)) << DrawTargetFailureReason();
            SetDrawColor(255, 0, 0);
            FillRect(0, 0, 64, 64);
            ASSERT_TRUE(SetDrawTarget(nullptr));
        }
        CloseGraphicsWindow();
    }
}

}  // namespace
}  // namespace qrv::testing
