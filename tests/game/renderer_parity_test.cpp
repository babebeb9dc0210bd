// The game's screens as the two renderers draw them: the same scripted play (loading, the board
// with notes and marks, the armed button, the help, the portrait, the verdict's fade and the
// failure reveal, story lines over the portrait and over the cleared screen, the cross-fade)
// runs once on each, and every fifth presented frame is compared pixel by pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "game/game.h"
#include "game/main_loop.h"
#include "kaz2d/glshader/glshader_module.h"
#include "kaz2d/renderer_table.h"
#include "system/keys.h"
#include "system/random.h"
#include "tests/game/game_window.h"
#include "tests/game/story_player.h"
#include "tests/kaz2d/picture_parity.h"

namespace {

using namespace qrv;
using namespace zorvak;

constexpr std::pair<int, int> kButton{300, 480};
constexpr std::pair<int, int> kOutside{10, 10};
constexpr size_t kEveryNthFrame = 5;

std::pair<int, int> CellCentre(int c, int r) {
    return {BOARD_LEFT + CELL_SIZE * c + CELL_SIZE / 2, BOARD_TOP + CELL_SIZE * r + CELL_SIZE / 2};
}

struct TPlay {
    std::vector<Ref<TPixmap>> frames;
    int fadeFrames = 0;
    std::vector<zorvak_test::TShown> lineKinds;
};

class RendererParity : public zorvak_test::GameWindow {
protected:
    // Reopens the game window on the named renderer, with a fresh script and virtual clock.
    bool Reopen(const char* renderer) {
        GameWindow::TearDown();
        if (!SelectRenderer(renderer)) return false;
        GameWindow::SetUp();
        return !HasFatalFailure();
    }

    void Left(std::pair<int, int> at, uint32_t after, int32_t button = MOUSE_LEFT) {
        Script().Click(at.first, at.second, start + after, button);
    }

    TPlay Play() {
        TPlay play;
        zorvak_test::TFrameRecorder recorder(game.board);
        size_t presents = 0;
        recorder.onPresent = [&] {
            if (presents++ % kEveryNthFrame == 0) play.frames.push_back(Screen());
        };
        SeedRandom(20240);
        (void)LoadGameResources(game.resources);  // the loading screen
        start = Now();
        Girl().SetPicture(2);  // a failure fades back to the previous picture
        NewMission(game.board, 4);
        Left(CellCentre(0, 0), 100);
        Left(CellCentre(1, 0), 150);
        Left(CellCentre(1, 0), 200);
        Left(CellCentre(2, 0), 250, MOUSE_RIGHT);
        Script().TapKey(KEY_F1, start + 400);
        Left(kOutside, 700);
        Script().TapKey(KEY_SPACE, start + 900);
        Script().TapKey(KEY_ENTER, start + 1300);
        Left(kButton, 1500);
        Left(kButton, 1700);
        Left(kOutside, 2400);  // ends the wait after the fade
        Left(kOutside, 2800);  // ends the failure reveal
        Script().TapKey(KEY_ESCAPE, start + 12000);
        auto player = std::make_shared<zorvak_test::TStoryPlayer>(Script(), game);
        player->Start();
        MainLoop(game);
        player->Stop();
        play.fadeFrames = player->fadeFrames;
        for (const auto& line : player->lines) play.lineKinds.push_back(line.kind);
        return play;
    }

    uint32_t start = 0;
};

TEST_F(RendererParity, EveryScreenOfThePlayLooksTheSameOnBothRenderers) {
    if (!AvailableGLShaderDriver()) GTEST_SKIP() << "no core or ES context on this display";
    // The first play of a process differs in its timing from later ones (one-time state of the
    // game), so a first play only warms up.
    ASSERT_TRUE(Reopen("opengl"));
    (void)Play();
    ASSERT_TRUE(Reopen("opengl"));
    const TPlay fixed = Play();
    ASSERT_TRUE(Reopen("glcore"));
    const TPlay shader = Play();

    EXPECT_GT(fixed.fadeFrames, 0) << "the play should include a cross-fade";
    const auto has = [&](zorvak_test::TShown kind) {
        return std::ranges::find(fixed.lineKinds, kind) != fixed.lineKinds.end();
    };
    EXPECT_TRUE(has(zorvak_test::TShown::PortraitLine) && has(zorvak_test::TShown::Narration))
        << "the play should show lines over the portrait and over the cleared screen";
    ASSERT_EQ(fixed.frames.size(), shader.frames.size()) << "both renderers ran the same play";
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    for (size_t i = 0; i < fixed.frames.size(); ++i) {
        const std::string stem = (folder / ("game-parity-" + std::to_string(i))).string();
        EXPECT_TRUE(qrv::testing::RenderersAgree(fixed.frames[i], shader.frames[i], stem))
            << "frame " << i * kEveryNthFrame;
    }
}

}  // namespace
