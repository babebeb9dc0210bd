#include <SDL_opengl.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "core/runtime.h"
#include "kaz2d/gl/gl_graphics_driver.h"
#include "kaz2d/gl/gl_helpers.h"
#include "kaz2d/graphics_module.h"

namespace qrv {
namespace {

// A fixed-function OpenGL window at 50 Hz on the test display.
class GLApi : public ::testing::Test {
protected:
    void SetUp() override {
        SetApplicationTitle(u"Zorvak graphics test");
        InitGLGraphicsModule();
        graphics = OpenGLGraphicsWindow(320, 240, 0, 50, 0);
        ASSERT_TRUE(graphics) << "no OpenGL window on the test display";
    }
    void TearDown() override { CloseGraphicsWindow(); }

    static std::array<double, 16> Matrix(GLenum which) {
        std::array<double, 16> m{};
        glGetDoublev(which, m.data());
        return m;
    }

    Ref<TGraphics> graphics;
};

TEST_F(GLApi, CurrentSettingsFollowTheSelectedContext) {
    EXPECT_EQ(CurrentDepth(), 0) << "a window takes the desktop's depth";
    EXPECT_EQ(CurrentHertz(), 50);

    const std::vector<TGraphicsMode> modes = ListGraphicsModes();
    ASSERT_EQ(static_cast<int32_t>(modes.size()), GraphicsModeCount());
    ASSERT_FALSE(modes.empty()) << "the test display lists its mode";
    int32_t w, h, d, hz;
    ASSERT_TRUE(GraphicsModeAt(0, w, h, d, hz));
    EXPECT_EQ(modes.front(), (TGraphicsMode{w, h, d, hz}));
    std::vector<TGraphicsMode> copy = ListGraphicsModes();
    copy.clear();
    EXPECT_EQ(ListGraphicsModes(), modes) << "callers get a copy of the list";

    const TGraphicsMode mode = modes.front();
    Ref<TGraphics> fullScreen = NewGraphics(mode.width, mode.height, mode.depth, mode.hertz, 0);
    ASSERT_TRUE(fullScreen);
    SelectGraphics(fullScreen);
    EXPECT_EQ(CurrentDepth(), mode.depth);
    EXPECT_EQ(CurrentHertz(), mode.hertz);
    CloseGraphicsContext(fullScreen);
    EXPECT_EQ(CurrentDepth(), 0);
    EXPECT_EQ(CurrentHertz(), 0) << "no context is current";
}

TEST_F(GLApi, TheTwoDimensionalBracketSetsAPixelProjectionAndRestoresEverything) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslated(3, 4, 5);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glScaled(2, 2, 2);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    const auto modelView = Matrix(GL_MODELVIEW_MATRIX);
    const auto projection = Matrix(GL_PROJECTION_MATRIX);

    BeginGL2D();
    const auto pixels = Matrix(GL_PROJECTION_MATRIX);
    // glOrtho(0, 320, 240, 0, -1, 1): x to 2 / 320, y to -2 / 240, the top left at (-1, 1).
    // Matrices are kept in single precision.
    EXPECT_NEAR(pixels[0], 2.0 / 320, 1e-7);
    EXPECT_NEAR(pixels[5], -2.0 / 240, 1e-7);
    EXPECT_NEAR(pixels[12], -1.0, 1e-7);
    EXPECT_NEAR(pixels[13], 1.0, 1e-7);
    EXPECT_EQ(Matrix(GL_MODELVIEW_MATRIX)[12], 0.0) << "model-view is the identity";
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    glMatrixMode(GL_MODELVIEW);  // drawing in between may change the matrix mode
    EndGL2D();

    EXPECT_EQ(Matrix(GL_MODELVIEW_MATRIX), modelView);
    EXPECT_EQ(Matrix(GL_PROJECTION_MATRIX), projection);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_PROJECTION) << "the caller's matrix mode comes back";
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

}  // namespace
}  // namespace qrv
