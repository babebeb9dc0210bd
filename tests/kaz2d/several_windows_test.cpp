// Several windows open at once, of one renderer or of both: each draws its own images and the
// images they share, across presents, and letting go of one renderer's frames leaves the other
// renderer's textures alone.
#include <SDL.h>
#include <SDL_opengl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kaz2d/graphics_module.h"
#include "kaz2d/image_module.h"
#include "kaz2d/kaz2d_module.h"
#include "kaz2d/renderer_table.h"
#include "tests/kaz2d/kaz2d_window.h"

namespace qrv::testing {
namespace {

constexpr uint32_t kCommonColour = 0x2080F0;

// A window and the colour of the image only it draws.
struct TWindowImage {
    Ref<TGraphics> graphics;
    Ref<TImage> own;
    uint32_t colour = 0;
};

class SeveralWindows : public Kaz2DWindow {
protected:
    void SetUp() override {
        Kaz2DWindow::SetUp();
        // Unfiltered, it is a cell of an atlas page; each window's own image is a texture.
        common = TImage::Load(SolidPixmap(8, 8, 0xFF000000 | kCommonColour), 0, 0, 0, 0);
        windows.push_back(WithImage(graphics));
    }

    std::string OtherRenderer() const { return FixedFunction() ? "glcore" : "opengl"; }

    // A 64 x 64 window of the renderer beside the others.
    Ref<TGraphics> OpenBeside(const std::string& renderer) {
        EXPECT_TRUE(SelectRenderer(renderer));
        return NewGraphics(64, 64, 0, 0, 0);
    }

    // The window with an image of a colour no other window has.
    TWindowImage WithImage(Ref<TGraphics> window) {
        const auto colour = static_cast<uint32_t>(0x40 * (windows.size() + 1)) << 16 | 0x30;
        return {std::move(window), TImage::Load(SolidPixmap(8, 8, 0xFF000000 | colour), IMG_FILTERED, 0, 0, 0),
                colour};
    }

    // Rounds in which every window draws its images, then every window is read back and
    // presented: each draws after the others have, and after its own presents.
    void DrawRounds(int32_t rounds = 3) {
        for (int32_t round = 0; round < rounds; ++round) {
            for (const TWindowImage& window : windows) {
                SelectGraphics(window.graphics);
                ClearScreen();
                DrawImageAt(window.own, 0, 0, 0);
                DrawImageAt(common, 16, 0, 0);
            }
            for (size_t i = 0; i < windows.size(); ++i) {
                SelectGraphics(windows[i].graphics);
                EXPECT_EQ(PixelAt(4, 4), windows[i].colour) << "window " << i << ", round " << round;
                EXPECT_EQ(PixelAt(20, 4), kCommonColour) << "window " << i << ", round " << round;
                EXPECT_EQ(PixelAt(40, 4), 0u) << "window " << i << ", round " << round;
                PresentFrame(0);
            }
        }
    }

    // The vertex buffer the window's draws were last sent from.
    GLint VertexBufferOf(size_t index) {
        SelectGraphics(windows[index].graphics);
        GLint buffer = 0;
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &buffer);
        return buffer;
    }

    void Close(size_t index) {
        CloseGraphicsContext(windows[index].graphics);
        windows.erase(windows.begin() + static_cast<std::ptrdiff_t>(index));
    }

    Ref<TImage> common;
    std::vector<TWindowImage> windows;
};

TEST_P(SeveralWindows, WindowsOfOneRendererDrawTheirOwnImagesAcrossPresents) {
    windows.push_back(WithImage(OpenBeside(GetParam())));
    DrawRounds();
    windows.push_back(WithImage(OpenBeside(GetParam())));
    DrawRounds();
    if (!FixedFunction()) {
        EXPECT_NE(VertexBufferOf(0), VertexBufferOf(1)) << "each window refills a buffer of its own";
        EXPECT_NE(VertexBufferOf(1), VertexBufferOf(2));
    }
    Close(1);
    DrawRounds();
}

TEST_P(SeveralWindows, WindowsOfBothRenderersDrawTheSameImages) {
    windows.push_back(WithImage(OpenBeside(OtherRenderer())));
    DrawRounds();
    windows.push_back(WithImage(OpenBeside(GetParam())));
    DrawRounds();
    Close(1);
    DrawRounds();
}

// Frames of one renderer let go while a window of the other is current: their texture names
// mean other textures there.
TEST_P(SeveralWindows, ReleasingOneRenderersFramesLeavesTheOthersTexturesAlone) {
    std::vector<Ref<TImage>> released;
    for (int32_t i = 0; i < 40; ++i) {
        released.push_back(TImage::Load(SolidPixmap(8, 8, 0xFFFFFFFF), i % 2 ? IMG_FILTERED : 0, 0, 0, 0));
        DrawImageAt(released.back(), static_cast<float>(i), 0, 0);
    }
    windows.push_back(WithImage(OpenBeside(OtherRenderer())));
    DrawRounds(1);
    SelectGraphics(windows[1].graphics);
    released.clear();
    windows.erase(windows.begin());
    DrawRounds(1);
}

// A full-screen context and one in a window of the program's own draw beside the window.
TEST_P(SeveralWindows, FullScreenAndAttachedContextsDrawTheirOwnImages) {
    SDL_Window* host = SDL_CreateWindow("host", 0, 0, 96, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    ASSERT_NE(host, nullptr);
    windows.push_back(WithImage(AttachGraphicsToWindow(host, 0)));
    ASSERT_TRUE(windows.back().graphics);
    const std::vector<TGraphicsMode> modes = ListGraphicsModes();
    ASSERT_FALSE(modes.empty());
    const TGraphicsMode& mode = modes.front();
    windows.push_back(WithImage(NewGraphics(mode.width, mode.height, mode.depth, mode.hertz, 0)));
    ASSERT_TRUE(windows.back().graphics);
    DrawRounds();
    Close(2);
    Close(1);
    SDL_DestroyWindow(host);
    DrawRounds(1);
}

KAZ2D_TEST_ON_EACH_RENDERER(SeveralWindows);

}  // namespace
}  // namespace qrv::testing
