// The board screen drawn in the game window and read back: marks, numbers and the button.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "game/board_screen.h"
#include "game/game.h"
#include "kaz2d/glshader/glshader_kaz2d_driver.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/kaz2d_driver.h"
#include "kaz2d/kaz2d_module.h"
#include "kaz2d/renderer_table.h"
#include "tests/game/game_window.h"

namespace {

using namespace qrv;
using namespace zorvak;
using zorvak_test::ColoursClose;
using zorvak_test::HexColour;

constexpr uint32_t kNearBlack = 0x050505;
constexpr uint32_t kRed = 0xFF0000;

uint32_t Scaled(uint32_t rgb, int red, int green, int blue) {
    const auto channel = [&](int shift, int factor) {
        return ((rgb >> shift & 0xFF) * static_cast<uint32_t>(factor) / 255) << shift;
    };
    return channel(16, red) | channel(8, green) | channel(0, blue);
}

class BoardScreen : public zorvak_test::GameWindow {
protected:
    void SetUp() override {
        GameWindow::SetUp();
        if (HasFatalFailure()) return;
        background = EmbeddedPixmap("back.jpg");
        ASSERT_TRUE(background);
        PlaceSpies({{2, 5}, {6, 1}});
    }

    void PlaceSpies(std::initializer_list<std::pair<int, int>> cells) {
        for (auto [c, r] : cells) game.board.spies[c][r] = 1;
        ComputeFinderCounts(game.board);
    }

    static int CellX(int c) { return BOARD_LEFT + CELL_SIZE * c; }
    static int CellY(int r) { return BOARD_TOP + CELL_SIZE * r; }

    uint32_t BackgroundAt(int x, int y) const { return background->GetPixelARGB(x, y) & 0xFFFFFF; }

    // Pixels of the cell's corners, clear of the number, compared with the background put
    // through `expect`.
    template <typename Expect>
    void ExpectCornersOf(int c, int r, Expect expect, const char* what) {
        for (auto [dx, dy] : {std::pair{2, 2}, {47, 2}, {2, 47}, {47, 47}}) {
            const int x = CellX(c) + dx;
            const int y = CellY(r) + dy;
            const uint32_t expected = expect(BackgroundAt(x, y));
            EXPECT_TRUE(ColoursClose(PixelAt(x, y), expected, 2))
                << what << " at (" << x << ", " << y << "): " << HexColour(PixelAt(x, y))
                << ", expected " << HexColour(expected);
        }
    }

    // Every fully covered pixel of the first digit of the cell's number has the colour.
    void ExpectNumberColour(int c, int r, uint32_t colour) {
        const char16_t digit = static_cast<char16_t>(u'0' + game.board.finders[c][r] % 10);
        const Ref<TImageFont>& font = game.resources.largeFont;
        const Ref<TImageGlyph> glyph = font->GlyphAt(font->GlyphIndexOf(digit));
        ASSERT_TRUE(glyph && glyph->image);
        const Ref<TPixmap> shape = glyph->image->pixmaps.at(0);
        const int penX = CellX(c) + 16 + glyph->x;
        const int penY = CellY(r) + 13 + glyph->y;
        const Ref<TPixmap> screen = Screen();
        int covered = 0;
        for (int y = 0; y < shape->Height(); ++y) {
            for (int x = 0; x < shape->Width(); ++x) {
                if (shape->GetPixelARGB(x, y) >> 24 != 0xFF) continue;
                ++covered;
                const uint32_t actual = screen->GetPixelARGB(penX + x, penY + y) & 0xFFFFFF;
                ASSERT_TRUE(ColoursClose(actual, colour, 2))
                    << "digit " << char(digit) << " of cell (" << c << ", " << r << ") at ("
                    << penX + x << ", " << penY + y << ") is " << HexColour(actual)
                    << ", expected " << HexColour(colour);
            }
        }
        EXPECT_GT(covered, 10) << "the digit should have a solid body";
    }

    Ref<TPixmap> background;
};

TEST_F(BoardScreen, EveryCellShowsItsFinderCountInDarkGrey) {
    DrawBoardScreen(game);
    bool sawZero = false;
    for (int c = 0; c < BOARD_SIZE; ++c) {
        for (int r = 0; r < BOARD_SIZE; ++r) {
            sawZero = sawZero || game.board.finders[c][r] == 0;
            ExpectNumberColour(c, r, kNearBlack);
            if (HasFatalFailure()) return;
        }
    }
    EXPECT_TRUE(sawZero) << "the board should hold a cell counting 0";
}

TEST_F(BoardScreen, NotesShadeTheCellAndOtherMarkValuesDrawNothing) {
    game.board.marks[0][0] = MARK_RED;
    game.board.marks[2][0] = MARK_GREY;
    game.board.marks[3][0] = 4;
    game.board.marks[4][0] = -1;
    DrawBoardScreen(game);
    ExpectCornersOf(0, 0, [](uint32_t bg) { return Scaled(bg, 255, 0, 0); }, "red note");
    ExpectCornersOf(2, 0, [](uint32_t bg) { return Scaled(bg, 200, 200, 200); }, "grey note");
    ExpectCornersOf(3, 0, [](uint32_t bg) { return bg; }, "mark 4");
    ExpectCornersOf(4, 0, [](uint32_t bg) { return bg; }, "mark -1");
    ExpectCornersOf(5, 5, [](uint32_t bg) { return bg; }, "no mark");
    for (int c : {0, 2, 3}) ExpectNumberColour(c, 0, kNearBlack);
}

TEST_F(BoardScreen, TheSpyMarkIsThePointPictureTintedRed) {
    game.board.marks[1][2] = MARK_SPY;
    DrawBoardScreen(game);
    const Ref<TPixmap> point = EmbeddedPixmap("point.png");
    ASSERT_TRUE(point);
    int opaque = 0;
    // The left strip of the cell, clear of the number.
    for (int y = 0; y < CELL_SIZE; ++y) {
        for (int x = 0; x < 10; ++x) {
            const uint32_t argb = point->GetPixelARGB(x, y);
            const float a = static_cast<float>(argb >> 24) / 255.0f;
            const int sx = CellX(1) + x;
            const int sy = CellY(2) + y;
            const uint32_t bg = BackgroundAt(sx, sy);
            const auto blend = [&](uint32_t src, uint32_t dst) {
                return static_cast<uint32_t>(a * static_cast<float>(src) + (1 - a) * static_cast<float>(dst) + 0.5f);
            };
            const uint32_t expected = blend(argb >> 16 & 0xFF, bg >> 16 & 0xFF) << 16 |
                                      blend(0, bg >> 8 & 0xFF) << 8 | blend(0, bg & 0xFF);
            opaque += a == 1.0f;
            ASSERT_TRUE(ColoursClose(PixelAt(sx, sy), expected, 3))
                << "spy mark at (" << x << ", " << y << "): " << HexColour(PixelAt(sx, sy))
                << ", expected " << HexColour(expected);
        }
    }
    EXPECT_GT(opaque, 20) << "the spy mark should cover part of the strip";
    ExpectNumberColour(1, 2, kNearBlack);
}

TEST_F(BoardScreen, RevealedSpiesHaveRedNumbersWhateverTheirMarks) {
    game.board.marks[2][5] = MARK_GREY;
    game.board.marks[6][1] = MARK_SPY;
    game.board.marks[0][0] = MARK_SPY;
    game.board.revealSpies = 1;
    DrawBoardScreen(game);
    for (int c = 0; c < BOARD_SIZE; ++c) {
        for (int r = 0; r < BOARD_SIZE; ++r) {
            ExpectNumberColour(c, r, game.board.spies[c][r] == 1 ? kRed : kNearBlack);
            if (HasFatalFailure()) return;
        }
    }
    game.board.revealSpies = -1;
    DrawBoardScreen(game);
    ExpectNumberColour(2, 5, kNearBlack);
    ExpectNumberColour(6, 1, kNearBlack);
}

TEST_F(BoardScreen, TheArmedButtonIsTintedRed) {
    const Ref<TPixmap> button = EmbeddedPixmap("but1.png");
    ASSERT_TRUE(button);
    const std::pair<int, int> spots[] = {{10, 10}, {92, 26}, {170, 45}};
    for (int armed : {0, 1}) {
        game.board.submitArmed = armed;
        DrawBoardScreen(game);
        for (auto [x, y] : spots) {
            const uint32_t source = button->GetPixelARGB(x, y) & 0xFFFFFF;
            const uint32_t expected = armed ? Scaled(source, 255, 0, 0) : source;
            const uint32_t actual = PixelAt(BUTTON_LEFT + x, BUTTON_TOP + y);
            EXPECT_TRUE(ColoursClose(actual, expected, 2))
                << "button " << (armed ? "armed" : "unarmed") << " at (" << x << ", " << y
                << "): " << HexColour(actual) << ", expected " << HexColour(expected);
        }
    }
}

TEST_F(BoardScreen, LeavesWhiteOpaqueAlphaBlendingAndTheLargeFont) {
    SetDrawColor(1, 2, 3);
    SelectFont(game.resources.smallFont);
    SetBlendMode(BLEND_SOLID);
    DrawBoardScreen(game);
    int32_t red = 0, green = 0, blue = 0;
    GetDrawColor(red, green, blue);
    EXPECT_EQ((std::tuple{red, green, blue}), (std::tuple{255, 255, 255}));
    EXPECT_EQ(GetBlendMode(), BLEND_ALPHA);
    EXPECT_EQ(GetDrawAlpha(), 1.0f);
    EXPECT_EQ(CurrentFont(), game.resources.largeFont);
}

int DifferingPixels(const Ref<TPixmap>& a, const Ref<TPixmap>& b) {
    int differing = 0;
    for (int y = 0; y < a->Height(); ++y)
        for (int x = 0; x < a->Width(); ++x) differing += a->GetPixelARGB(x, y) != b->GetPixelARGB(x, y);
    return differing;
}

// Draws the board view; gives the draw calls the shader renderer sent for it, -1 on the
// fixed-function renderer.
int64_t DrawCallsOfOneView(TGame& game) {
    const auto driver = std::dynamic_pointer_cast<TGLShaderKaz2DDriver>(CurrentKaz2DDriver());
    (void)GrabPixmapRect(0, 0, 1, 1);  // sends what is queued
    const int64_t before = driver ? driver->DrawCallCount() : 0;
    DrawBoardScreen(game);
    (void)GrabPixmapRect(0, 0, 1, 1);
    return driver ? driver->DrawCallCount() - before : -1;
}

TEST_F(BoardScreen, AnUnchangedBoardIsRedrawnFromItsKeptPictureWithTheSamePixels) {
    for (const char* renderer : {"opengl", "glcore"}) {
        SCOPED_TRACE(renderer);
        GameWindow::TearDown();
        ASSERT_TRUE(SelectRenderer(renderer));
        GameWindow::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        PlaceSpies({{2, 5}, {6, 1}});
        game.board.marks[1][1] = MARK_RED;
        game.board.marks[3][3] = MARK_SPY;
        game.board.submitArmed = 1;
        DrawBoardScreen(game);
        const Ref<TPixmap> drawn = Screen();
        ClearScreen();
        DrawBoardScreen(game);  // the same board again: its view is kept
        const Ref<TPixmap> again = Screen();
        ClearScreen();
        const int64_t drawCalls = DrawCallsOfOneView(game);
        const Ref<TPixmap> kept = Screen();
        ASSERT_TRUE(drawn && again && kept);
        EXPECT_EQ(DifferingPixels(drawn, again), 0);
        EXPECT_EQ(DifferingPixels(drawn, kept), 0);
        if (drawCalls >= 0) {
            EXPECT_EQ(drawCalls, 1) << "one picture instead of every part";
        }

        game.board.marks[3][3] = 0;
        DrawBoardScreen(game);
        ExpectCornersOf(3, 3, [](uint32_t bg) { return bg; }, "a spy mark taken away");
        ExpectCornersOf(1, 1, [](uint32_t bg) { return Scaled(bg, 255, 0, 0); }, "red note");
        game.board.marks[3][3] = MARK_SPY;
        DrawBoardScreen(game);
        EXPECT_EQ(DifferingPixels(drawn, Screen()), 0);
    }
}

TEST_F(BoardScreen, AKeptPictureIsNotUsedWhereTheDrawingStateWouldChangeTheView) {
    for (int i = 0; i < 3; ++i) DrawBoardScreen(game);  // kept, and drawn from it
    SetClearColor(0, 0, 0);
    ClearScreen();
    SetDrawAlpha(0.5f);
    DrawBoardScreen(game);
    const uint32_t halfBackground = Scaled(BackgroundAt(2, 2), 128, 128, 128);
    EXPECT_TRUE(ColoursClose(PixelAt(2, 2), halfBackground, 2))
        << "half alpha over black: " << HexColour(PixelAt(2, 2)) << ", expected "
        << HexColour(halfBackground);
    SetDrawOrigin(7, 0);
    DrawBoardScreen(game);
    SetDrawOrigin(0, 0);
    EXPECT_EQ(PixelAt(9, 2), BackgroundAt(2, 2)) << "the view moved with the origin";
}

TEST(SubmitButton, AnswersOnlyInsideItsBorder) {
    EXPECT_TRUE(IsOnSubmitButton(271, 461));
    EXPECT_TRUE(IsOnSubmitButton(455, 511));
    EXPECT_FALSE(IsOnSubmitButton(270, 480));
    EXPECT_FALSE(IsOnSubmitButton(300, 460));
    EXPECT_FALSE(IsOnSubmitButton(456, 480));
    EXPECT_FALSE(IsOnSubmitButton(300, 512));
}

}  // namespace
