#include "kaz2d/gl/gl_graphics_driver.h"

#include <SDL.h>
#include <SDL_opengl.h>
#include <gtest/gtest.h>

#include <vector>

#include "core/runtime.h"
#include "core/text.h"
#include "kaz2d/gl/gl_helpers.h"
#include "kaz2d/graphics_module.h"

namespace qrv {
namespace {

class GLGraphics : public ::testing::Test {
protected:
    void SetUp() override {
        SetApplicationTitle(u"Zorvak graphics test");
        InitGLGraphicsModule();
        graphics = OpenGLGraphicsWindow(512, 512, 0, 0, 0);
        ASSERT_TRUE(graphics) << "no OpenGL window on the test display";
        record = std::static_pointer_cast<TGLGraphics>(graphics)->Record();
    }
    void TearDown() override { CloseGraphicsWindow(); }

    // The pixel at window position (x, y) of the back buffer, as 0xRRGGBB.
    uint32_t PixelAt(int x, int y) {
        uint8_t rgba[4] = {};
        glReadBuffer(GL_BACK);
        glReadPixels(x, 512 - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return (rgba[0] << 16) | (rgba[1] << 8) | rgba[2];
    }

    Ref<TGraphics> graphics;
    TGLContextRecord* record = nullptr;
};

TEST_F(GLGraphics, WindowedContextHasItsClientAreaAndTitle) {
    int w = 0, h = 0, x = 0, y = 0;
    SDL_GetWindowSize(record->window, &w, &h);
    SDL_GetWindowPosition(record->window, &x, &y);
    EXPECT_EQ(w, 512);
    EXPECT_EQ(h, 512);
    EXPECT_EQ(x, 32);
    EXPECT_EQ(y, 32);
    EXPECT_STREQ(SDL_GetWindowTitle(record->window), "Zorvak graphics test");
    EXPECT_TRUE(SDL_GetWindowFlags(record->window) & SDL_WINDOW_SHOWN);
    const TGraphicsSettings s = graphics->GetSettings();
    EXPECT_EQ(s.width, 512);
    EXPECT_EQ(s.depth, 0);
    EXPECT_EQ(s.flags, GFX_BACK_BUFFER) << "the driver's default flags are OR-ed in";
    EXPECT_EQ(CurrentWidth(), 512);
    EXPECT_EQ(CurrentGLContext(), record);
}

TEST_F(GLGraphics, PresentsSetTheSwapIntervalOnlyWhenItChanges) {
    auto driver = TGLGraphicsDriver::Instance();
    driver->PresentBuffer(0);
    const int32_t changes = PresentSwapIntervalChanges();
    driver->PresentBuffer(0);
    EXPECT_EQ(PresentSwapIntervalChanges(), changes);
    driver->PresentBuffer(5);
    EXPECT_EQ(LastPresentSwapInterval(), 1) << "any non-zero sync means 1";
    EXPECT_EQ(PresentSwapIntervalChanges(), changes + 1);
    driver->PresentBuffer(1);
    EXPECT_EQ(PresentSwapIntervalChanges(), changes + 1);
    driver->PresentBuffer(0);
    EXPECT_EQ(PresentSwapIntervalChanges(), changes + 2);
}

TEST_F(GLGraphics, ModeListHoldsOnlyDeepEnoughModes) {
    const auto modes = TGLGraphicsDriver::Instance()->EnumerateModes();
    ASSERT_FALSE(modes.empty()) << "the test display lists its mode";
    EXPECT_LE(modes.size(), 1024u);
    for (const auto& mode : modes) EXPECT_GE(mode.depth, 16) << ToUtf8(mode.ToString());
    EXPECT_TRUE(HasGraphicsMode(0, 0, 0, 0));
}

TEST_F(GLGraphics, ReopeningMakesANewContextAndGeneration) {
    const int32_t generation = contextGeneration;
    auto second = OpenGLGraphicsWindow(200, 100, 0, 50, 0);
    ASSERT_TRUE(second);
    EXPECT_NE(contextGeneration, generation);
    EXPECT_EQ(CurrentWidth(), 200);
    EXPECT_EQ(graphics->GetSettings().width, 0) << "the first window was closed";
}

TEST_F(GLGraphics, AttachingToAnExistingWindow) {
    SDL_Window* window = SDL_CreateWindow("host", 10, 10, 300, 200, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr);
    auto attached = AttachGraphicsToWindow(window, 0);
    ASSERT_TRUE(attached);
    EXPECT_EQ(attached->GetSettings().width, 300);
    SDL_SetWindowSize(window, 320, 240);
    EXPECT_EQ(attached->GetSettings().height, 240) << "settings follow the window's client area";
    CloseGraphicsContext(attached);
    attached->Close();  // closing twice is harmless
    EXPECT_NE(SDL_GetWindowID(window), 0u) << "the caller's window stays";
    SDL_DestroyWindow(window);
    EXPECT_EQ(AttachGraphicsToWindow(nullptr, 0), nullptr);
}

TEST_F(GLGraphics, UnsetDisplayModeGivesNoGraphics) {
    EXPECT_EQ(NewGraphics(333, 217, 32, 0, 0), nullptr) << "no display mode of that size";
}

TEST_F(GLGraphics, FitTextureSizeRoundsUpToPowersOfTwo) {
    int32_t w = 300, h = 20;
    FitTextureSize(w, h);
    EXPECT_EQ(w, 512);
    EXPECT_EQ(h, 32);
    EXPECT_EQ(NextPowerOfTwo(0), 1);
    EXPECT_EQ(NextPowerOfTwo(1), 1);
    EXPECT_EQ(NextPowerOfTwo(65), 128);
}

TEST_F(GLGraphics, PrintTextDrawsTheEmbeddedFont) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(1, 1, 1, 1);
    GLPrintText(u"H", 100, 50);
    int white = 0;
    int other = 0;
    for (int y = 50; y < 66; ++y) {
        for (int x = 100; x < 108; ++x) {
            const uint32_t p = PixelAt(x, y);
            if (p == 0xFFFFFF) ++white;
            else if (p != 0) ++other;
        }
    }
    EXPECT_GT(white, 10) << "an H has lit pixels";
    EXPECT_EQ(other, 0) << "the font is pure white on the cleared background";
    EXPECT_EQ(PixelAt(99, 58), 0u);
    EXPECT_EQ(PixelAt(108, 58), 0u);

    // The vertical strokes of an H: some column on the left half is lit in most rows.
    int leftStroke = 0;
    for (int y = 52; y < 62; ++y)
        for (int x = 100; x < 103; ++x) leftStroke += PixelAt(x, y) == 0xFFFFFF;
    EXPECT_GE(leftStroke, 8);
}

TEST_F(GLGraphics, FillRectAndBlitPixmap) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1, 0, 0);
    GLFillRect(10, 20, 30, 40);
    EXPECT_EQ(PixelAt(10, 20), 0xFF0000u);
    EXPECT_EQ(PixelAt(39, 59), 0xFF0000u);
    EXPECT_EQ(PixelAt(40, 59), 0u);
    EXPECT_EQ(PixelAt(39, 60), 0u);

    auto pixmap = TPixmap::NewPixmap(4, 3, FormatRGB888, 1);
    pixmap->SetPixelARGB(0, 0, 0xFF00FF00);
    pixmap->SetPixelARGB(3, 2, 0xFF0000FF);
    GLBlitPixmap(pixmap, 200, 100);
    EXPECT_EQ(PixelAt(200, 100), 0x00FF00u) << "the top row of the pixmap at the top";
    EXPECT_EQ(PixelAt(203, 102), 0x0000FFu);
}

TEST_F(GLGraphics, TexturesAreSharedBetweenContexts) {
    auto pixmap = TPixmap::NewPixmap(8, 8, FormatRGBA8888, 4);
    auto driver = TGLGraphicsDriver::Instance();
    driver->SwapSharedContext();
    const uint32_t texture = TextureFromPixmap(pixmap, true);
    driver->SwapSharedContext();
    EXPECT_EQ(CurrentGLContext(), record);
    EXPECT_TRUE(glIsTexture(texture)) << "a texture made in the shared context is visible here";
    driver->SwapSharedContext();
    GLuint name = texture;
    glDeleteTextures(1, &name);
    driver->SwapSharedContext();
}

}  // namespace
}  // namespace qrv
