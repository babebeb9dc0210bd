// The verdict display played with scripted input on virtual time in the game window.
#include <gtest/gtest.h>

#include "game/board_screen.h"
#include "game/game.h"
#include "game/verdict.h"
#include "system/input.h"
#include "system/keys.h"
#include "tests/game/game_window.h"

namespace {

using namespace qrv;
using namespace zorvak;
using zorvak_test::ColoursClose;
using zorvak_test::HexColour;
using zorvak_test::TFrameRecorder;

constexpr int kFadeFrames = 10;

class Verdict : public zorvak_test::GameWindow {
protected:
    void SetUp() override {
        GameWindow::SetUp();
        if (HasFatalFailure()) return;
        NewMission(game.board, 4);
        ComputeFinderCounts(game.board);
        // The fade of ten frames paced at 50 Hz is over by then.
        kFadeEnd = Now() + 300;
    }

    void MarkEverySpy() {
        for (int c = 0; c < BOARD_SIZE; ++c)
            for (int r = 0; r < BOARD_SIZE; ++r)
                if (game.board.spies[c][r] == 1) game.board.marks[c][r] = MARK_SPY;
    }

    uint32_t kFadeEnd = 0;

    // The board as the player saw it before submitting.
    Ref<TPixmap> BoardAlone() {
        DrawBoardScreen(game);
        return Screen();
    }
};

uint32_t Mix(uint32_t over, uint32_t under, float alpha) {
    uint32_t result = 0;
    for (int shift : {0, 8, 16}) {
        const float a = static_cast<float>(over >> shift & 0xFF);
        const float b = static_cast<float>(under >> shift & 0xFF);
        result |= static_cast<uint32_t>(alpha * a + (1 - alpha) * b + 0.5f) << shift;
    }
    return result;
}

TEST_F(Verdict, ASolvedBoardFadesInTheWinPictureAndReturnsAfterOneAnswer) {
    MarkEverySpy();
    int32_t& corner = game.board.marks[0][0];
    corner = corner == MARK_SPY ? MARK_SPY : MARK_GREY;  // notes never matter
    const Ref<TPixmap> board = BoardAlone();
    const Ref<TPixmap> win = EmbeddedPixmap("win.jpg");
    Script().Click(300, 300, kFadeEnd);
    TFrameRecorder recorder(game.board, true);
    EXPECT_EQ(ShowVerdict(game), VERDICT_SUCCESS);
    ASSERT_EQ(recorder.Count(), size_t{kFadeFrames}) << "the fade draws ten frames and no reveal follows";
    EXPECT_LT(Now(), kFadeEnd + 100) << "returns right after the first answer";
    EXPECT_EQ(game.board.revealSpies, -1);

    // A column of the picture beside its shadow: board and picture mixed at 0 and at 0.9.
    const Ref<TPixmap> first = recorder.Frames().front().screen;
    const Ref<TPixmap> last = recorder.Frames().back().screen;
    for (int y : {130, 200, 350}) {
        const uint32_t under = board->GetPixelARGB(58, y) & 0xFFFFFF;
        const uint32_t picture = win->GetPixelARGB(2, y - 128) & 0xFFFFFF;
        EXPECT_TRUE(ColoursClose(first->GetPixelARGB(58, y) & 0xFFFFFF, under, 2))
            << "the first frame shows the bare board at y " << y;
        const uint32_t expected = Mix(picture, under, 0.9f);
        const uint32_t actual = last->GetPixelARGB(58, y) & 0xFFFFFF;
        EXPECT_TRUE(ColoursClose(actual, expected, 3))
            << "last fade frame at (58, " << y << "): " << HexColour(actual) << ", expected "
            << HexColour(expected);
    }
}

TEST_F(Verdict, AFailedBoardShowsTheFailPictureOverTheWinShadow) {
    const Ref<TPixmap> board = BoardAlone();
    const Ref<TPixmap> fail = EmbeddedPixmap("fail.jpg");
    const Ref<TPixmap> win = EmbeddedPixmap("win.jpg");
    Script().TypeText(u"x", kFadeEnd);
    Script().TypeText(u"y", kFadeEnd + 100);
    TFrameRecorder recorder(game.board, true);
    EXPECT_EQ(ShowVerdict(game), VERDICT_FAILURE);
    ASSERT_GT(recorder.Count(), size_t{kFadeFrames});
    const Ref<TPixmap> last = recorder.Frames()[kFadeFrames - 1].screen;
    // Right of the picture only the shadow darkens the board: 0.7 x 0.9 black.
    const uint32_t under = board->GetPixelARGB(459, 300) & 0xFFFFFF;
    const uint32_t shadowed = Mix(0, under, 0.63f);
    EXPECT_TRUE(ColoursClose(last->GetPixelARGB(459, 300) & 0xFFFFFF, shadowed, 3))
        << "shadow: " << HexColour(last->GetPixelARGB(459, 300)) << ", expected " << HexColour(shadowed);
    // Inside, the picture at 0.9 over the shadowed board, at spots where the pictures differ.
    int compared = 0;
    for (int y = 20; y < 226; y += 20) {
        for (int x = 20; x < 400; x += 40) {
            const uint32_t picture = fail->GetPixelARGB(x, y) & 0xFFFFFF;
            if (ColoursClose(picture, win->GetPixelARGB(x, y) & 0xFFFFFF, 40)) continue;
            ++compared;
            const int sx = 56 + x, sy = 128 + y;
            const uint32_t expected =
                Mix(picture, Mix(0, board->GetPixelARGB(sx, sy) & 0xFFFFFF, 0.63f), 0.9f);
            const uint32_t actual = last->GetPixelARGB(sx, sy) & 0xFFFFFF;
            EXPECT_TRUE(ColoursClose(actual, expected, 3))
                << "fail picture at (" << sx << ", " << sy << "): " << HexColour(actual)
                << ", expected " << HexColour(expected);
        }
    }
    EXPECT_GT(compared, 5) << "the two pictures should differ in places";
}

TEST_F(Verdict, TheRevealTogglesEvery1501MillisecondsUntilAnswered) {
    Script().Click(300, 300, kFadeEnd, MOUSE_RIGHT);
    Script().Click(300, 300, kFadeEnd + 5000);
    TFrameRecorder recorder(game.board);
    EXPECT_EQ(ShowVerdict(game), VERDICT_FAILURE);
    const auto& frames = recorder.Frames();
    ASSERT_EQ(frames.size(), size_t{kFadeFrames + 4}) << "the reveal frame and three toggles";
    const int expectedReveal[] = {1, -1, 1, -1};
    for (int i = 0; i < 4; ++i) {
        const auto& frame = frames[kFadeFrames + i];
        EXPECT_EQ(frame.revealSpies, expectedReveal[i]) << "reveal frame " << i;
        if (i > 0) {
            EXPECT_EQ(frame.time - frames[kFadeFrames + i - 1].time, 1501u) << "toggle " << i;
        }
    }
    EXPECT_EQ(game.board.revealSpies, -1) << "keeps the value it had last";
}

TEST_F(Verdict, TheRevealShowsTheSpiesInRedWithTheCaption) {
    Script().TypeText(u"a", kFadeEnd);
    Script().TypeText(u"b", kFadeEnd + 200);
    TFrameRecorder recorder(game.board, true);
    EXPECT_EQ(ShowVerdict(game), VERDICT_FAILURE);
    ASSERT_EQ(recorder.Count(), size_t{kFadeFrames + 1});
    const Ref<TPixmap> revealed = recorder.Frames().back().screen;
    game.board.revealSpies = -1;
    const Ref<TPixmap> plain = BoardAlone();
    int redSpyPixels = 0, redElsewhere = 0, captionPixels = 0;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const uint32_t now = revealed->GetPixelARGB(x, y) & 0xFFFFFF;
            if (now == (plain->GetPixelARGB(x, y) & 0xFFFFFF)) continue;
            if (y < BOARD_TOP) {
                ++captionPixels;
                continue;
            }
            const CellPosition cell = CellAt(x, y);
            const bool spyCell = cell.IsCell() && game.board.spies[cell.c][cell.r] == 1;
            (spyCell ? redSpyPixels : redElsewhere) += 1;
        }
    }
    EXPECT_GT(redSpyPixels, 4 * 20) << "every spy's number should turn red";
    EXPECT_EQ(redElsewhere, 0) << "nothing but the spies' numbers and the caption changes";
    EXPECT_GT(captionPixels, 100) << "the caption should stand above the board";
}

TEST_F(Verdict, KeysThatTypeNothingDoNotEndTheWait) {
    MarkEverySpy();
    Script().TapKey(KEY_LEFT_SHIFT, kFadeEnd);
    Script().TapKey(KEY_F1, kFadeEnd + 100);
    Script().TapKey(KEY_ENTER, kFadeEnd + 400);
    EXPECT_EQ(ShowVerdict(game), VERDICT_SUCCESS);
    EXPECT_GE(Now(), kFadeEnd + 400);
    EXPECT_LT(Now(), kFadeEnd + 450);
}

TEST_F(Verdict, EscapeOnlyEndsTheWaitAndTheRevealAndIsForgotten) {
    Script().TapKey(KEY_ESCAPE, kFadeEnd);
    Script().TapKey(KEY_ESCAPE, kFadeEnd + 2000);
    EXPECT_EQ(ShowVerdict(game), VERDICT_FAILURE);
    EXPECT_GE(Now(), kFadeEnd + 2000) << "the second Escape ends the reveal";
    EXPECT_EQ(KeyHitCount(KEY_ESCAPE), 0) << "the verdict leaves the keyboard flushed";
    EXPECT_EQ(NextTypedChar(), 0);
}

}  // namespace
