// The board loop, its help and portrait screens and a whole submission, played in-process by
// a scripted player on virtual time in the game window.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "game/game.h"
#include "game/main_loop.h"
#include "system/application.h"
#include "system/keys.h"
#include "tests/game/game_window.h"
#include "tests/game/story_player.h"

namespace {

using namespace qrv;
using namespace zorvak;
using zorvak_test::ColoursClose;
using zorvak_test::TFrameRecorder;

constexpr std::pair<int, int> kButton{300, 480};
constexpr std::pair<int, int> kOutside{10, 10};

std::pair<int, int> CellCentre(int c, int r) {
    return {BOARD_LEFT + CELL_SIZE * c + CELL_SIZE / 2, BOARD_TOP + CELL_SIZE * r + CELL_SIZE / 2};
}

int SpyCount(const TBoard& board) {
    int count = 0;
    for (const auto& column : board.spies)
        for (int32_t cell : column) count += cell == 1;
    return count;
}

class MainLoopTest : public zorvak_test::GameWindow {
protected:
    void SetUp() override {
        GameWindow::SetUp();
        if (HasFatalFailure()) return;
        game.board.nextSpyCount = 4;
        start = Now();
    }

    void Left(std::pair<int, int> at, uint32_t after) {
        Script().Click(at.first, at.second, start + after, MOUSE_LEFT);
    }
    void Right(std::pair<int, int> at, uint32_t after) {
        Script().Click(at.first, at.second, start + after, MOUSE_RIGHT);
    }
    void Tap(int32_t key, uint32_t after) { Script().TapKey(key, start + after); }

    // submitArmed as drawn by the first frame presented at or after the time.
    static int ArmedAfter(const TFrameRecorder& recorder, uint32_t time) {
        for (const auto& frame : recorder.Frames())
            if (static_cast<int32_t>(frame.time - time) >= 0) return frame.submitArmed;
        return -1;
    }

    static bool VerdictShown(const TFrameRecorder& recorder) {
        for (const auto& frame : recorder.Frames())
            if (frame.revealSpies == 1) return true;
        return false;
    }

    // The frame presented last before the time, or none.
    static Ref<TPixmap> ScreenBefore(const TFrameRecorder& recorder, uint32_t time) {
        Ref<TPixmap> shown;
        for (const auto& frame : recorder.Frames())
            if (static_cast<int32_t>(frame.time - time) < 0) shown = frame.screen;
        return shown;
    }

    uint32_t start = 0;
};

TEST_F(MainLoopTest, TwoLeftClicksOnTheButtonSubmitAndTheNextBoardFollowsTheScene) {
    Left(kButton, 100);
    Left(kButton, 200);
    Left(kOutside, 800);   // ends the wait after the fade
    Left(kOutside, 1100);  // ends the failure reveal
    Tap(KEY_ESCAPE, 8000);
    TFrameRecorder recorder(game.board);
    auto player = std::make_shared<zorvak_test::TStoryPlayer>(Script(), game);
    player->Start();
    MainLoop(game);
    player->Stop();

    EXPECT_EQ(ArmedAfter(recorder, start + 100), 1);
    EXPECT_TRUE(VerdictShown(recorder)) << "an unmarked board fails and shows its spies";
    ASSERT_FALSE(player->lines.empty()) << "the scene after the verdict should have played";
    EXPECT_EQ(player->lines.front().kind, zorvak_test::TShown::PortraitLine);
    EXPECT_EQ(Girl().level, 0) << "a failure at the first level stays there";
    EXPECT_EQ(game.board.nextSpyCount, 3) << "the briefing of level 0 at difficulty 0";
    EXPECT_EQ(SpyCount(game.board), 3) << "the new board has the briefing's spies";
    EXPECT_EQ(game.board.revealSpies, -1);
    const auto& last = recorder.Frames().back();
    EXPECT_EQ(last.revealSpies, -1) << "the last frame shows the new board";
}

TEST_F(MainLoopTest, AnyOtherClickBetweenTheTwoDisarmsTheButton) {
    Left(kButton, 100);
    Right(kOutside, 200);  // disarms
    Left(kButton, 300);    // arms again instead of submitting
    Left(CellCentre(2, 2), 400);
    Left(kButton, 500);
    Tap(KEY_ESCAPE, 600);
    TFrameRecorder recorder(game.board);
    MainLoop(game);
    EXPECT_EQ(ArmedAfter(recorder, start + 100), 1);
    EXPECT_EQ(ArmedAfter(recorder, start + 200), 0);
    EXPECT_EQ(ArmedAfter(recorder, start + 300), 1);
    EXPECT_EQ(ArmedAfter(recorder, start + 400), 0) << "a click on a cell disarms";
    EXPECT_EQ(ArmedAfter(recorder, start + 500), 1);
    EXPECT_EQ(game.board.submitArmed, 1);
    EXPECT_FALSE(VerdictShown(recorder));
    EXPECT_EQ(game.board.marks[2][2], MARK_GREY);
}

TEST_F(MainLoopTest, ClicksOnTheButtonsBorderNeitherArmNorSubmit) {
    const std::pair<int, int> clicks[] = {{300, 480}, {270, 480}, {455, 511}, {300, 460}, {271, 461}};
    const int armed[] = {1, 0, 1, 0, 1};
    for (int i = 0; i < 5; ++i) Left(clicks[i], 100 * (i + 1));
    Tap(KEY_ESCAPE, 700);
    TFrameRecorder recorder(game.board);
    MainLoop(game);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(ArmedAfter(recorder, start + 100 * (i + 1)), armed[i])
            << "after the click at (" << clicks[i].first << ", " << clicks[i].second << ")";
    EXPECT_FALSE(VerdictShown(recorder));
}

TEST_F(MainLoopTest, LeftClicksCycleNotesAndRightClicksToggleTheSpyMark) {
    for (uint32_t t : {100u, 200u}) Left(CellCentre(1, 1), t);
    for (uint32_t t : {300u, 400u, 500u}) Left(CellCentre(6, 0), t);
    Right(CellCentre(2, 7), 600);
    for (uint32_t t : {700u, 800u}) Right(CellCentre(7, 7), t);
    Right({455, 455}, 900);
    Tap(KEY_ESCAPE, 1000);
    MainLoop(game);
    EXPECT_EQ(game.board.marks[1][1], MARK_RED);
    EXPECT_EQ(game.board.marks[6][0], MARK_NONE);
    EXPECT_EQ(game.board.marks[2][7], MARK_SPY);
    EXPECT_EQ(game.board.marks[7][7], MARK_SPY) << "the last pixel of the grid belongs to cell (7, 7)";
}

TEST_F(MainLoopTest, TheBoardIsRedrawnEvery501MillisecondsAndNotForKeys) {
    Script().TypeText(u"z", start + 250);
    Tap(KEY_ENTER, 650);
    Tap(KEY_ESCAPE, 1700);
    TFrameRecorder recorder(game.board);
    MainLoop(game);
    const auto& frames = recorder.Frames();
    ASSERT_EQ(frames.size(), 4u) << "the first board and three timed redraws";
    for (size_t i = 1; i < frames.size(); ++i) EXPECT_EQ(frames[i].time - frames[i - 1].time, 501u);
}

TEST_F(MainLoopTest, AnIdleBoardWaitsForTheNextRedrawInsteadOfSleepingEveryMillisecond) {
    // Counts the sleeps on the clock: a board left alone for ten seconds wakes only for its
    // timed redraws and the click, not a thousand times a second.
    class TCountingClock final : public TClock {
    public:
        explicit TCountingClock(Ref<TClock> inner) : inner(std::move(inner)) {}
        uint32_t Milliseconds() override { return inner->Milliseconds(); }
        void Delay(int32_t ms) override { ++sleeps, inner->Delay(ms); }
        void DelayUntil(uint32_t deadline) override { ++sleeps, inner->DelayUntil(deadline); }
        int sleeps = 0;
        Ref<TClock> inner;
    };
    auto counting = std::make_shared<TCountingClock>(CurrentClock());
    const Ref<TClock> previous = SetClock(counting);
    Right(CellCentre(2, 2), 5000);
    Tap(KEY_ESCAPE, 10000);
    TFrameRecorder recorder(game.board);
    MainLoop(game);
    SetClock(previous);
    EXPECT_EQ(game.board.marks[2][2], MARK_SPY);
    EXPECT_GE(recorder.Count(), 20u);
    EXPECT_LT(counting->sleeps, 120) << "about three per redraw";
}

TEST_F(MainLoopTest, EscapeClosesTheHelpWithoutQuitting) {
    Tap(KEY_F1, 100);
    Tap(KEY_ESCAPE, 200);
    Left(CellCentre(0, 0), 400);
    Tap(KEY_ESCAPE, 600);
    TFrameRecorder recorder(game.board, true);
    MainLoop(game);
    EXPECT_EQ(game.board.marks[0][0], MARK_GREY) << "the board took clicks again after the help";
    EXPECT_TRUE(game.resources.helpImage->frames[0].empty()) << "the closed help lets go of its texture";
    const Ref<TPixmap> help = EmbeddedPixmap("help.jpg");
    const Ref<TPixmap> shown = ScreenBefore(recorder, start + 200);
    ASSERT_TRUE(shown && help);
    for (auto [x, y] : {std::pair{5, 5}, {256, 256}, {500, 500}})
        EXPECT_TRUE(ColoursClose(shown->GetPixelARGB(x, y) & 0xFFFFFF, help->GetPixelARGB(x, y) & 0xFFFFFF, 2))
            << "the help picture at (" << x << ", " << y << ")";
}

TEST_F(MainLoopTest, OnlyALeftClickOrACharacterClosesTheHelpAndNeitherReachesTheBoard) {
    Tap(KEY_F1, 100);
    Right(CellCentre(0, 0), 200);
    Tap(KEY_LEFT_SHIFT, 250);
    Left(CellCentre(1, 0), 300);  // closes the help only
    Left(CellCentre(2, 0), 500);
    Tap(KEY_ESCAPE, 700);
    MainLoop(game);
    EXPECT_EQ(game.board.marks[0][0], MARK_NONE);
    EXPECT_EQ(game.board.marks[1][0], MARK_NONE);
    EXPECT_EQ(game.board.marks[2][0], MARK_GREY);
}

TEST_F(MainLoopTest, EscapeOnThePortraitEndsTheProgram) {
    Tap(KEY_SPACE, 100);
    Tap(KEY_ESCAPE, 300);
    EXPECT_THROW(MainLoop(game), TProgramEnded);
}

TEST_F(MainLoopTest, ThePortraitStaysUntilAKeyTypesACharacter) {
    Tap(KEY_SPACE, 100);
    Left(CellCentre(0, 0), 200);
    Right(CellCentre(0, 1), 250);
    Tap(KEY_F1, 300);
    Script().TypeText(u"a", start + 400);
    Left(CellCentre(1, 0), 600);
    Tap(KEY_ESCAPE, 800);
    TFrameRecorder recorder(game.board, true);
    MainLoop(game);
    EXPECT_EQ(game.board.marks[0][0], MARK_NONE) << "clicks do nothing on the portrait";
    EXPECT_EQ(game.board.marks[0][1], MARK_NONE);
    EXPECT_EQ(game.board.marks[1][0], MARK_GREY) << "the board took clicks again after the portrait";
    const Ref<TPixmap> picture = EmbeddedPixmap("s0.png");
    const Ref<TPixmap> shown = ScreenBefore(recorder, start + 400);
    ASSERT_TRUE(shown && picture);
    EXPECT_TRUE(ColoursClose(shown->GetPixelARGB(20, 300) & 0xFFFFFF, picture->GetPixelARGB(20, 300) & 0xFFFFFF, 2))
        << "the portrait should be on screen until the character";
}

}  // namespace
