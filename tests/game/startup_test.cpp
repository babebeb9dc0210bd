// Start-up in-process: the loading screen, the settings and the first board.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "game/game.h"
#include "game/startup.h"
#include "game/story_text.h"
#include "kaz2d/kaz2d_module.h"
#include "system/keys.h"
#include "tests/game/game_window.h"
#include "tests/game/story_player.h"

namespace {

using namespace qrv;
using namespace zorvak;
using zorvak_test::TFrameRecorder;

constexpr uint32_t kGreen = 0x00C800;

int SpyCount(const TBoard& board) {
    int count = 0;
    for (const auto& column : board.spies)
        for (int32_t cell : column) count += cell == 1;
    return count;
}

// Rows holding a green pixel in the left part of the screen.
int LowestGreenRow(const TPixmap& screen) {
    int lowest = -1;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 256; ++x)
            if ((screen.GetPixelARGB(x, y) & 0xFFFFFF) == kGreen) lowest = y;
    return lowest;
}

using LoadingScreen = zorvak_test::GameWindow;

TEST_F(LoadingScreen, EachMessageIsShownBeforeTheLoadsItAnnounces) {
    struct TStage {
        bool fonts, pictures, portrait;
        int lowestGreen;
    };
    TGameResources resources;
    ClearScreen();

    std::vector<TStage> stages;
    TFrameRecorder recorder(game.board, true);
    recorder.onPresent = [&] {
        stages.push_back({resources.largeFont && resources.smallFont,
                          resources.backgroundImage && resources.spyMarkImage,
                          resources.portrait && resources.portrait->pictureCount == 7, -1});
    };
    EXPECT_TRUE(LoadGameResources(resources).empty());
    ASSERT_EQ(stages.size(), 6u) << "six messages, each presented at once";
    for (size_t i = 0; i < 6; ++i) stages[i].lowestGreen = LowestGreenRow(*recorder.Frames()[i].screen);

    EXPECT_FALSE(stages[1].fonts) << "\"Fonts loading...\" appears before the fonts load";
    EXPECT_TRUE(stages[2].fonts);
    EXPECT_FALSE(stages[2].pictures) << "\"Pixmaps loading...\" appears before the pictures load";
    EXPECT_TRUE(stages[3].pictures);
    EXPECT_FALSE(stages[3].portrait) << "\"Tavika loading...\" appears before the portrait loads";
    EXPECT_TRUE(stages[4].portrait);
    for (size_t i = 1; i < 6; ++i) {
        EXPECT_GT(stages[i].lowestGreen, stages[i - 1].lowestGreen)
            << "message " << i + 1 << " stands under the ones before";
    }
    EXPECT_GE(stages[0].lowestGreen, 0) << "the first message is drawn in the built-in font";
    EXPECT_EQ(resources.portrait->level, 0);
    EXPECT_EQ(resources.portrait->eye->x, 184);
    EXPECT_EQ(resources.portrait->eye->y, 104);
}

// Start-up run in a folder of its own, whose zorvak.cfg it reads.
class StartUpTest : public zorvak_test::GameWindow {
protected:
    void SetUp() override {
        GameWindow::SetUp();
        if (HasFatalFailure()) return;
        folder = std::filesystem::temp_directory_path() / ("zorvak_startup_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder);
    }

    void TearDown() override {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
        GameWindow::TearDown();
    }

    void WriteSettings(const std::string& text) {
        std::ofstream(folder / "zorvak.cfg", std::ios::binary) << text;
    }

    std::filesystem::path folder;
    std::filesystem::path previous;
};

TEST_F(StartUpTest, AnUnknownDifficultyStartsWithFiveSpies) {
    WriteSettings("Intro\n0\nDifficulty\n7\n");
    Script().TapKey(KEY_ESCAPE, Now() + 1000);
    EXPECT_EQ(StartUp(game), 0);
    EXPECT_EQ(game.board.nextSpyCount, 5);
    EXPECT_EQ(SpyCount(game.board), 5);
    EXPECT_EQ(game.settings.difficulty, 7);
}

TEST_F(StartUpTest, TheIntroductionPlaysBeforeTheFirstBoardWhenAsked) {
    WriteSettings("Intro\n1\nDifficulty\n0\n");
    auto player = std::make_shared<zorvak_test::TStoryPlayer>(Script(), game);
    player->Start();
    Script().TapKey(KEY_ESCAPE, Now() + 20000);
    EXPECT_EQ(StartUp(game), 0);
    player->Stop();
    EXPECT_EQ(SpyCount(game.board), 3) << "difficulty 0 starts with three spies";
    const std::vector<std::u16string> texts = player->Texts();
    ASSERT_GE(texts.size(), 48u);
    EXPECT_EQ(texts.back(), introStartLine) << "the introduction ran to its end";
}

}  // namespace
