// A close request (the window's close button, a window manager's close) ends the program from
// every screen that waits for the player, played in-process on virtual time.
#include <gtest/gtest.h>

#include "game/dialogue.h"
#include "game/game.h"
#include "game/main_loop.h"
#include "game/verdict.h"
#include "system/application.h"
#include "system/keys.h"
#include "tests/game/game_window.h"

namespace {

using namespace qrv;
using namespace zorvak;
using zorvak_test::TFrameRecorder;

constexpr size_t kVerdictFadeFrames = 10;
constexpr size_t kCrossFadeFrames = 71;

class CloseRequest : public zorvak_test::GameWindow {
protected:
    void SetUp() override {
        GameWindow::SetUp();
        if (HasFatalFailure()) return;
        game.board.nextSpyCount = 4;
        NewMission(game.board, 4);
        ComputeFinderCounts(game.board);
    }

    // The close request comes after the time; the screen must end the program (the scripted
    // session's end) soon after it, not wait for a key.
    template <typename Screen>
    void ExpectClosedAfter(uint32_t after, Screen&& screen) {
        const uint32_t at = Now() + after;
        Script().RequestClose(at);
        EXPECT_THROW(screen(), TProgramEnded);
        EXPECT_GE(Now(), at);
        EXPECT_LT(Now(), at + 100) << "ended late";
    }
};

TEST_F(CloseRequest, EndsTheBoardItsHelpAndThePortraitScreen) {
    ExpectClosedAfter(300, [this] { MainLoop(game); });
    ExpectClosedAfter(300, [this] { ShowHelp(game.resources); });
    ExpectClosedAfter(300, [this] { ShowPortrait(Girl()); });
}

TEST_F(CloseRequest, EndsTheVerdictDuringItsFadeItsWaitAndTheReveal) {
    {
        TFrameRecorder recorder(game.board);
        ExpectClosedAfter(50, [this] { (void)ShowVerdict(game); });
        EXPECT_LT(recorder.Count(), kVerdictFadeFrames) << "the fade ran to its end first";
    }
    {
        TFrameRecorder recorder(game.board);
        ExpectClosedAfter(1000, [this] { (void)ShowVerdict(game); });
        EXPECT_EQ(recorder.Count(), kVerdictFadeFrames) << "ended in the wait after the fade";
    }
    {
        // No spy is marked: a failure, whose reveal follows the click.
        TFrameRecorder recorder(game.board);
        Script().Click(10, 10, Now() + 500);
        ExpectClosedAfter(4000, [this] { (void)ShowVerdict(game); });
        EXPECT_GT(recorder.Count(), kVerdictFadeFrames + 1) << "the reveal was showing";
    }
}

TEST_F(CloseRequest, EndsStoryLinesAndTheCrossFadeButEscapeStillOnlyAdvancesNarration) {
    ExpectClosedAfter(300, [this] { ShowNarrationLine(game, u"Рассказчик: Ждём."); });
    ExpectClosedAfter(300, [this] { ShowPortraitLine(game, u"Тавика: Ждём."); });
    {
        TFrameRecorder recorder(game.board);
        ExpectClosedAfter(300, [this] {
            CrossFade(Girl(), Girl().pictures[0], Girl().pictures[1], 1);
        });
        EXPECT_LT(recorder.Count(), kCrossFadeFrames) << "the cross-fade ran to its end first";
    }

    // Without a close request Escape keeps its old meaning on a narration line.
    Script().TapKey(KEY_ESCAPE, Now() + 10);
    EXPECT_NO_THROW(ShowNarrationLine(game, u"Рассказчик: Escape только листает."));
}

}  // namespace
