#include <SDL.h>
#include <SDL_opengl.h>
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <numbers>
#include <random>
#include <utility>
#include <vector>

#include "core/text.h"
#include "kaz2d/gl/gl_context.h"
#include "kaz2d/gl/oval_vertices.h"
#include "kaz2d/glfixed/glfixed_kaz2d_driver.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/kaz2d_module.h"
#include "tests/kaz2d/kaz2d_window.h"

namespace qrv::testing {
namespace {

using Kaz2DDrawing = Kaz2DWindow;

// A black kSize x kSize picture with a white rectangle [x0, x1) x [y0, y1).
Ref<TPixmap> BlackWithWhiteRect(int32_t w, int32_t h, int32_t x0, int32_t y0, int32_t x1,
                                int32_t y1) {
    Ref<TPixmap> picture = NewPixmap(w, h, FormatRGBA8888, 4);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            picture->SetPixelARGB(x, y, x >= x0 && x < x1 && y >= y0 && y < y1 ? 0xFFFFFFFF : 0xFF000000);
    return picture;
}

TEST_P(Kaz2DDrawing, FreshContextHasTheDefaultStateAndClearedBuffers) {
    EXPECT_EQ(ToUtf8(CurrentGraphicsDriver()->ToString()),
              FixedFunction() ? "OpenGL" : "OpenGL 3.3 core");
    int32_t r, g, b, x, y, w, h;
    GetDrawColor(r, g, b);
    EXPECT_EQ((std::array{r, g, b}), (std::array{255, 255, 255}));
    GetClearColor(r, g, b);
    EXPECT_EQ((std::array{r, g, b}), (std::array{0, 0, 0}));
    GetViewportRect(x, y, w, h);
    EXPECT_EQ((std::array{x, y, w, h}), (std::array{0, 0, kSize, kSize}));
    float fx, fy, sx, sy;
    GetDrawOrigin(fx, fy);
    EXPECT_EQ(fx + fy, 0.0f);
    GetDrawHandle(fx, fy);
    EXPECT_EQ(fx + fy, 0.0f);
    GetDrawScale(sx, sy);
    EXPECT_EQ((std::array{sx, sy}), (std::array{1.0f, 1.0f}));
    EXPECT_EQ(GetDrawAlpha(), 1.0f);
    EXPECT_EQ(GetLineThickness(), 1.0f);
    EXPECT_EQ(GetDrawRotation(), 0.0f);
    EXPECT_EQ(GetBlendMode(), BLEND_MASK);
    if (FixedFunction()) {
        EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST)) << "mask blending drops transparent pixels";
    }
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));

    ExpectScreenMatches(0, 0, BlackWithWhiteRect(kSize, kSize, 0, 0, 0, 0));
    PresentFrame(0);
    ExpectScreenMatches(0, 0, BlackWithWhiteRect(kSize, kSize, 0, 0, 0, 0));
}

TEST_P(Kaz2DDrawing, HandleIsStoredNegatedAndShiftsRectangles) {
    SetDrawHandle(10, 5);
    float hx, hy;
    GetDrawHandle(hx, hy);
    EXPECT_EQ(hx, 10.0f);
    EXPECT_EQ(hy, 5.0f);
    EXPECT_EQ(TKaz2DGraphics::CurrentContext()->handleX, -10.0f);
    FillRect(100, 100, 20, 20);
    ExpectScreenMatches(80, 80, [] {
        auto p = BlackWithWhiteRect(50, 50, 10, 15, 30, 35);  // window x 90..110, y 95..115
        return p;
    }());
}

TEST_P(Kaz2DDrawing, RotationTurnsARowIntoAColumnLeftOfTheOrigin) {
    SetDrawOrigin(100, 100);
    SetDrawRotation(90);
    FillRect(0, 0, 10, 1);
    ExpectScreenMatches(95, 95, BlackWithWhiteRect(20, 20, 4, 5, 5, 15));
    EXPECT_NEAR(collisionMatrix.iy, -1.0f, 1e-6f) << "the collision matrix follows the drawing";
    EXPECT_NEAR(collisionMatrix.jx, 1.0f, 1e-6f);
}

// The matrix takes its sine and cosine from its own polynomial: they must be the very floats
// rounding the library's double sin and cos gives, or turned pictures would move by a pixel.
TEST_P(Kaz2DDrawing, TheMatrixHasTheLibrarysRoundedSineAndCosineAtEveryAngle) {
    // Up to two turns the radians come another way than beyond: both sides of that edge too.
    std::vector<float> angles{0.0f, -0.0f, 1e7f, -3e7f, 1e30f, INFINITY, NAN, 720.0f, -720.0f,
                              std::nextafter(720.0f, 1e3f), std::nextafter(-720.0f, -1e3f),
                              std::nextafter(3e7f, 0.0f), 3e7f};
    for (int32_t quarter = -4 * 1080; quarter <= 4 * 1080; ++quarter)
        angles.push_back(static_cast<float>(quarter) / 4);
    std::mt19937 random(24);
    std::uniform_real_distribution<float> nearby(-720.0f, 720.0f);
    std::uniform_real_distribution<float> distant(-1e6f, 1e6f);
    for (int32_t i = 0; i < 100000; ++i) angles.push_back(i % 5 ? nearby(random) : distant(random));
    const auto bits = [](float value) { return std::bit_cast<uint32_t>(value); };
    int32_t wrong = 0;
    for (const float degrees : angles) {
        SetDrawRotation(degrees);
        const double radians = static_cast<double>(degrees) * std::numbers::pi / 180.0;
        const auto sine = static_cast<float>(std::sin(radians));
        const auto cosine = static_cast<float>(std::cos(radians));
        const bool same = bits(collisionMatrix.ix) == bits(cosine) &&
                          bits(collisionMatrix.jx) == bits(sine) &&
                          bits(collisionMatrix.iy) == bits(-sine) && bits(collisionMatrix.jy) == bits(cosine);
        if (!same && ++wrong <= 5) ADD_FAILURE() << "at " << degrees << " degrees";
    }
    EXPECT_EQ(wrong, 0);
    // A scale change at the same rotation takes the kept sine and cosine.
    SetDrawRotation(30);
    SetDrawScale(2, 3);
    const double thirty = 30 * std::numbers::pi / 180;
    EXPECT_EQ(collisionMatrix.ix, 2 * static_cast<float>(std::cos(thirty)));
    EXPECT_EQ(collisionMatrix.jy, 3 * static_cast<float>(std::cos(thirty)));
    EXPECT_EQ(collisionMatrix.iy, -3 * static_cast<float>(std::sin(thirty)));
}

TEST_P(Kaz2DDrawing, ColoursAndAlphaAreClampedByTheRenderer) {
    SetDrawColor(300, -5, 128);
    int32_t r, g, b;
    GetDrawColor(r, g, b);
    EXPECT_EQ((std::array{r, g, b}), (std::array{300, -5, 128})) << "stored unchanged";
    FillRect(0, 0, 4, 4);
    EXPECT_EQ(PixelAt(1, 1), 0xFF0080u);

    if (FixedFunction()) {
        std::array<GLfloat, 4> colour{};
        for (auto [alpha, byte] : {std::pair{0.5f, 127}, {2.0f, 255}, {-1.0f, 0}}) {
            TGLKaz2DDriver::Instance()->ApplyAlpha(alpha);
            glGetFloatv(GL_CURRENT_COLOR, colour.data());
            EXPECT_EQ(static_cast<int>(colour[3] * 255.0f + 0.5f), byte) << "alpha " << alpha;
        }
    }
    SetDrawColor(255, 255, 255);
    SetBlendMode(BLEND_ALPHA);
    int32_t left = 100;
    for (auto [alpha, level] : {std::pair{0.5f, 0x7Fu}, {2.0f, 0xFFu}, {-1.0f, 0u}}) {
        CurrentKaz2DDriver()->ApplyAlpha(alpha);
        FillRect(static_cast<float>(left), 0, 4, 4);
        EXPECT_EQ(PixelAt(left + 1, 1), level * 0x010101u) << "alpha " << alpha << " over black";
        left += 10;
    }
    SetBlendMode(BLEND_MASK);

    SetDrawColor(255, 255, 255);
    SetDrawAlpha(0.5f);
    SetBlendMode(BLEND_ALPHA);
    FillRect(10, 0, 4, 4);
    EXPECT_EQ(PixelAt(11, 1), 0x7F7F7Fu) << "half of white over black";
    SetBlendMode(BLEND_MASK);
    FillRect(20, 0, 4, 4);
    EXPECT_EQ(PixelAt(21, 1), 0x000000u) << "alpha 0.5 as a byte is below one half";
}

TEST_P(Kaz2DDrawing, ShadeMultipliesAndLightAdds) {
    SetClearColor(200, 100, 50);
    ClearScreen();
    SetBlendMode(BLEND_SHADE);
    SetDrawColor(128, 255, 0);
    FillRect(0, 0, 4, 4);
    const uint32_t shaded = PixelAt(1, 1);
    EXPECT_NEAR(shaded >> 16, 100u, 1u);
    EXPECT_EQ((shaded >> 8) & 0xFF, 100u);
    EXPECT_EQ(shaded & 0xFF, 0u);

    SetBlendMode(BLEND_LIGHT);
    SetDrawColor(50, 150, 255);
    FillRect(10, 0, 4, 4);
    EXPECT_EQ(PixelAt(11, 1), 0xFAFAFFu) << "added and saturated";
}

TEST_P(Kaz2DDrawing, ViewportScissorsDrawing) {
    SetViewportRect(10, 20, 100, 50);
    std::array<GLint, 4> box{};
    glGetIntegerv(GL_SCISSOR_BOX, box.data());
    EXPECT_EQ(box, (std::array<GLint, 4>{10, 442, 100, 50})) << "rows 442..491 from the bottom";
    FillRect(0, 0, kSize, kSize);
    ExpectScreenMatches(0, 0, BlackWithWhiteRect(150, 100, 10, 20, 110, 70));

    SetViewportRect(0, 0, kSize, kSize);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST)) << "the whole window needs no scissoring";
}

// The back-buffer pixel at (x, y) of the whole drawable, counted from its top left, read past
// the renderer.
uint32_t DrawablePixel(int32_t x, int32_t y) {
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(CurrentGLContext()->window, &width, &height);
    std::array<uint8_t, 4> pixel{};
    glReadPixels(x, height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
    return uint32_t{pixel[0]} << 16 | uint32_t{pixel[1]} << 8 | pixel[2];
}

// A window manager may give the window another size. The picture stays at the drawable's top
// left, where pointer positions count from, with its scissored viewport, pixmap copies and
// reads; what lies outside it is cleared at each present.
TEST_P(Kaz2DDrawing, AWindowGivenAnotherSizeKeepsThePictureAtTheTopLeft) {
    constexpr int32_t kWidth = 640, kHeight = 600;
    SetViewportRect(10, 20, 100, 50);
    SetClearColor(0, 0, 255);
    SDL_SetWindowSize(CurrentGLContext()->window, kWidth, kHeight);
    PresentFrame(0);
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(CurrentGLContext()->window, &width, &height);
    ASSERT_EQ((std::array{width, height}), (std::array{kWidth, kHeight})) << "the size was refused";
    EXPECT_EQ(DrawablePixel(kWidth - 1, 0), 0x0000FFu) << "right of the picture";
    EXPECT_EQ(DrawablePixel(0, kHeight - 1), 0x0000FFu) << "below the picture";

    DrawPixmapAt(SolidPixmap(150, 100, 0xFF000000), 0, 0);
    FillRect(0, 0, kSize, kSize);
    ExpectScreenMatches(0, 0, BlackWithWhiteRect(150, 100, 10, 20, 110, 70));
    for (const auto& [x, y] : {std::pair{10, 20}, {109, 69}})
        EXPECT_EQ(DrawablePixel(x, y), 0xFFFFFFu) << "inside the viewport at " << x << ", " << y;
    for (const auto& [x, y] : {std::pair{9, 20}, {10, 19}, {110, 69}, {109, 70}})
        EXPECT_EQ(DrawablePixel(x, y), 0u) << "outside the viewport at " << x << ", " << y;
}

TEST_P(Kaz2DDrawing, EllipsesPolygonsLinesAndPoints) {
    EXPECT_EQ(OvalVertexCount(0, 0, 4, 4), 12);
    EXPECT_EQ(OvalVertexCount(0, 0, 100, 60), 80);
    EXPECT_EQ(OvalVertexCount(0, 0, 31, 0), 12);
    EXPECT_EQ(OvalVertexCount(0, 0, 1e30f, 1), 65536) << "huge boxes stay drawable";

    FillEllipse(100, 100, 100, 60);
    EXPECT_EQ(PixelAt(150, 130), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(102, 130), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(150, 101), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(103, 103), 0u) << "the box's corner lies outside";

    FillPolygonPoints({300, 10, 340, 10});
    FillPolygonPoints({300, 10, 340, 10, 300, 50, 7});
    EXPECT_EQ(PixelAt(305, 15), 0u) << "two points or an odd count draw nothing";
    FillPolygonPoints({300, 10, 340, 10, 300, 50});
    EXPECT_EQ(PixelAt(305, 15), 0xFFFFFFu);

    DrawLineSegment(10, 300, 20, 300, false);
    EXPECT_EQ(PixelAt(19, 300), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(20, 300), 0u) << "a line leaves its last pixel out";
    DrawLineSegment(10, 310, 20, 310, true);
    EXPECT_EQ(PixelAt(20, 310), 0xFFFFFFu);

    SetDrawHandle(5, 5);
    SetDrawRotation(45);
    SetDrawOrigin(10, 10);
    PlotPoint(3, 4);
    EXPECT_EQ(PixelAt(13, 14), 0xFFFFFFu) << "points take the origin only";
}

TEST_P(Kaz2DDrawing, PixmapsAreCopiedAndReadTopRowFirst) {
    SetDrawOrigin(50, 50);
    SetViewportRect(100, 100, 10, 10);
    Ref<TPixmap> pixmap = NewPixmap(3, 2, FormatRGB888, 1);
    pixmap->SetPixelARGB(0, 0, 0xFFFF0000);
    pixmap->SetPixelARGB(2, 1, 0xFF00FF00);
    DrawPixmapAt(pixmap, 5, 6);
    const Ref<TPixmap> grabbed = GrabPixmapRect(5, 6, 3, 2);
    ASSERT_TRUE(grabbed);
    EXPECT_EQ(grabbed->Format(), FormatRGBA8888);
    EXPECT_EQ(grabbed->GetPixelARGB(0, 0), 0xFFFF0000u) << "top row first, no origin or viewport";
    EXPECT_EQ(grabbed->GetPixelARGB(2, 1), 0xFF00FF00u);
    EXPECT_EQ(grabbed->GetPixelARGB(1, 0), 0xFF000000u);
    EXPECT_EQ(GrabPixmapRect(0, 0, -1, 4), nullptr);
}

TEST_P(Kaz2DDrawing, EachContextKeepsItsStateAcrossSwitches) {
    SetDrawColor(10, 20, 30);
    Ref<TGraphics> second = NewGraphics(64, 64, 0, 0, 0);
    ASSERT_TRUE(second);
    SelectGraphics(second);
    int32_t r, g, b;
    GetDrawColor(r, g, b);
    EXPECT_EQ(r, 255) << "a new context starts from the defaults";
    SetDrawColor(1, 2, 3);
    SelectGraphics(graphics);
    GetDrawColor(r, g, b);
    EXPECT_EQ((std::array{r, g, b}), (std::array{10, 20, 30}));
    FillRect(0, 0, 2, 2);
    EXPECT_EQ(PixelAt(0, 0), 0x0A141Eu) << "the renderer got the colour again";
    CloseGraphicsContext(second);
}

// The shader renderer sends a mode with the next draw that uses it, so each check draws first.
TEST_P(Kaz2DDrawing, UnchangedBlendModeIsNotSentAgain) {
    SetBlendMode(BLEND_ALPHA);
    SetDrawAlpha(0.5f);  // a fill at full alpha would be sent unblended
    FillRect(0, 0, 1, 1);
    glDisable(GL_BLEND);  // behind the renderer's back
    CurrentKaz2DDriver()->ApplyBlend(BLEND_ALPHA);
    FillRect(0, 0, 1, 1);
    EXPECT_FALSE(glIsEnabled(GL_BLEND)) << "the cached mode made no call";
    SelectGraphics(graphics);
    FillRect(0, 0, 1, 1);
    EXPECT_TRUE(glIsEnabled(GL_BLEND)) << "making the context current forgets the cache";
}

TEST(Kaz2DWithoutContext, OperationsDoNothing) {
    InitKaz2DModule();
    SetDrawColor(1, 2, 3);
    FillRect(0, 0, 10, 10);
    int32_t r = -1, g = -1, b = -1;
    GetDrawColor(r, g, b);
    EXPECT_EQ(r + g + b, 0);
    EXPECT_EQ(GrabPixmapRect(0, 0, 1, 1), nullptr);
}

KAZ2D_TEST_ON_EACH_RENDERER(Kaz2DDrawing);

}  // namespace
}  // namespace qrv::testing
