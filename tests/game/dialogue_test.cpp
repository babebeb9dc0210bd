// Story lines shown in the game window on virtual time: what answers a line and what does
// not, the outlined text and its place, and the portrait cross-fade.
#include <gtest/gtest.h>

#include "game/dialogue.h"
#include "game/game.h"
#include "game/input_wait.h"
#include "kaz2d/kaz2d_module.h"
#include "kaz2d/text_drawing.h"
#include "pixmap/pixmap_loader.h"
#include "system/application.h"
#include "system/input.h"
#include "system/keys.h"
#include "tests/game/story_window.h"

namespace {

using namespace qrv;
using namespace zorvak;
using zorvak_test::TScriptStalled;

constexpr int32_t KEY_LEFT_ARROW = 37;

class Dialogue : public zorvak_test::StoryWindow {
protected:
    void PressSpace(uint32_t at) {
        Script().PressKey(KEY_SPACE, at);
        Script().TypeText(u" ", at);
        Script().ReleaseKey(KEY_SPACE, at + 30);
    }

    // The lit rows and columns of a screen picture: not the cleared black.
    struct TBox {
        int32_t left = 512, top = 512, right = -1, bottom = -1;
    };
    static TBox LitBox(const TPixmap& screen) {
        TBox box;
        for (int32_t y = 0; y < screen.Height(); ++y) {
            for (int32_t x = 0; x < screen.Width(); ++x) {
                if ((screen.GetPixelARGB(x, y) & 0xFFFFFF) == 0) continue;
                box.left = std::min(box.left, x), box.right = std::max(box.right, x);
                box.top = std::min(box.top, y), box.bottom = std::max(box.bottom, y);
            }
        }
        return box;
    }
};

TEST_F(Dialogue, TwoQuickEntersAdvanceOneNarrationLineTwoSpacesTwo) {
    Script().TapKey(KEY_ENTER, Now() + 5);
    Script().TapKey(KEY_ENTER, Now() + 5);
    ShowNarrationLine(game, u"Первая строка.");
    StallAfter(2000);
    EXPECT_THROW(ShowNarrationLine(game, u"Вторая строка."), TScriptStalled)
        << "the second Enter was typed ahead and should have been discarded";

    StallAfter(120000);
    PressSpace(Now() + 5);
    PressSpace(Now() + 5);
    ShowNarrationLine(game, u"Третья строка.");
    ShowNarrationLine(game, u"Четвёртая строка: пропущена вторым пробелом.");
    StallAfter(2000);
    EXPECT_THROW(ShowNarrationLine(game, u"Пятая строка."), TScriptStalled);
}

TEST_F(Dialogue, LeftClickAnswersButRightClickAndKeysWithoutCharactersDoNot) {
    for (auto show : {&ShowNarrationLine, &ShowPortraitLine}) {
        const uint32_t start = Now();
        Script().Click(100, 100, start + 10, MOUSE_RIGHT);
        Script().TapKey(KEY_LEFT_ARROW, start + 20);
        Script().TapKey(KEY_LEFT_SHIFT, start + 30);
        Script().Click(100, 100, start + 500, MOUSE_LEFT);
        show(game, u"Тавика: Жду ответа.");
        EXPECT_GE(Now(), start + 500) << "answered before the left click";
        EXPECT_LT(Now(), start + 600);
    }
}

TEST_F(Dialogue, EscapeAdvancesANarrationLineButEndsThePortraitLine) {
    Script().TapKey(KEY_ESCAPE, Now() + 10);
    ShowNarrationLine(game, u"Рассказчик: Escape здесь только листает.");
    EXPECT_EQ(KeyHitCount(KEY_ESCAPE), 0) << "the narration line flushes the Escape it read";

    // Late enough to come after the line is shown and its input flushed.
    Script().TapKey(KEY_ESCAPE, Now() + 100);
    EXPECT_THROW(ShowPortraitLine(game, u"Тавика: А здесь Escape завершает игру."), TProgramEnded);
}

TEST_F(Dialogue, PortraitLineIgnoresWhatWasTypedBeforeItShowed) {
    Script().TypeText(u"x", Now());
    const uint32_t answer = Now() + 300;
    Script().TapKey(KEY_ENTER, answer);
    ShowPortraitLine(game, u"Тавика: Слушай внимательно.");
    EXPECT_GE(Now(), answer);

    // A narration line takes what was typed ahead.
    Script().TypeText(u"x", Now());
    const uint32_t shown = Now();
    ShowNarrationLine(game, u"Пыльная комната.");
    EXPECT_LT(Now(), shown + 100);
}

TEST_F(Dialogue, IdlePortraitLinePresentsOnlyWhenTheEyesChange) {
    TEye& eye = *Girl().eye;
    eye.meanOpenTime = 1000000;
    eye.phase = 0;
    eye.lastChange = Now();
    eye.interval = 1000000;
    zorvak_test::TStoryPlayer& player = Play();
    player.answerDelay = 3000;
    ShowPortraitLine(game, u"Тавика: Тишина.");
    EXPECT_EQ(player.presents, 1) << "no eye change, no redraw";

    // A blink due after 100 ms: eyes half shut, shut, open again, then a long wait.
    eye.phase = 0;
    eye.lastChange = Now();
    eye.interval = 100;
    ShowPortraitLine(game, u"Тавика: Моргаю.");
    EXPECT_EQ(player.presents, 1 + 1 + 3);
    EXPECT_EQ(eye.phase, 0);
}

TEST_F(Dialogue, TextIsWhiteOutlinedInDarkAndPiecesStandTwentyPixelsApart) {
    SetClearColor(100, 100, 100);
    ClearScreen();
    SetDrawColor(10, 200, 10);
    SetDrawAlpha(0.5f);
    game.dialogueLines = {u"ШШ"};
    DrawDialogueText(game, 100, 100);
    int32_t red, green, blue;
    GetDrawColor(red, green, blue);
    EXPECT_EQ((std::array{red, green, blue}), (std::array{255, 255, 255}));
    EXPECT_EQ(GetDrawAlpha(), 1.0f);
    const Ref<TPixmap> first = GrabPixmapRect(90, 90, 60, 40);

    // The same piece as the second one, after an empty first piece.
    ClearScreen();
    game.dialogueLines = {u"", u"ШШ"};
    DrawDialogueText(game, 100, 100);
    const Ref<TPixmap> second = GrabPixmapRect(90, 110, 60, 40);
    ASSERT_TRUE(first && second);
    int white = 0, dark = 0;
    for (int32_t y = 0; y < first->Height(); ++y) {
        for (int32_t x = 0; x < first->Width(); ++x) {
            const uint32_t pixel = first->GetPixelARGB(x, y) & 0xFFFFFF;
            white += pixel == 0xFFFFFF;
            dark += zorvak_test::ColoursClose(pixel, 0x020202, 2);
            ASSERT_EQ(pixel, second->GetPixelARGB(x, y) & 0xFFFFFF)
                << "the second piece differs at (" << x << ", " << y << ")";
        }
    }
    EXPECT_GT(white, 20) << "white face";
    EXPECT_GT(dark, 20) << "dark outline";
    SetClearColor(0, 0, 0);
}

TEST_F(Dialogue, NarrationStandsInTheMiddleAndPortraitLinesInTheFrame) {
    zorvak_test::TStoryPlayer& player = Play();
    player.keepFrames = true;
    ShowNarrationLine(game, u"Ш");
    ASSERT_EQ(player.frames.size(), 1u);
    const auto box = LitBox(*player.frames[0]);
    EXPECT_NEAR(box.left, DIALOGUE_LEFT, 3);
    EXPECT_NEAR(box.top, NARRATION_TOP, 6) << "the first piece starts at the narration top";
    EXPECT_LT(box.bottom, NARRATION_TOP + DIALOGUE_LINE_SPACING);

    ShowPortraitLine(game, u"Тавика: Ш");
    ASSERT_EQ(player.lines.size(), 2u);
    EXPECT_EQ(player.lines[1].kind, zorvak_test::TShown::PortraitLine);
    EXPECT_EQ(player.lines[0].kind, zorvak_test::TShown::Narration);
    EXPECT_EQ(player.frames.size(), 2u);
}

TEST_F(Dialogue, CrossFadeBlendsInSeventyOneFramesAndEndsOnTheNewPicture) {
    zorvak_test::TStoryPlayer& player = Play();
    player.keepFrames = true;
    const Ref<TPixmap> from = EmbeddedPixmap("s0.png");
    const Ref<TPixmap> to = EmbeddedPixmap("s4.png");
    const uint32_t start = Now();
    CrossFade(Girl(), Girl().pictures[0], Girl().pictures[4], 1);
    EXPECT_EQ(player.presents, CROSS_FADE_STEPS + 1);
    EXPECT_EQ(player.fadeFrames, CROSS_FADE_STEPS + 1);
    EXPECT_GE(Now() - start, 1400u) << "71 frames paced at 50 Hz";
    ASSERT_EQ(player.frames.size(), size_t(CROSS_FADE_STEPS + 1));
    // A pixel away from the eyes: the old picture first, the new one last, half way between.
    const int32_t x = 60, y = 300;
    const uint32_t old = from->GetPixelARGB(x, y) & 0xFFFFFF, fresh = to->GetPixelARGB(x, y) & 0xFFFFFF;
    ASSERT_FALSE(zorvak_test::ColoursClose(old, fresh, 20)) << "pick a pixel where they differ";
    EXPECT_TRUE(zorvak_test::ColoursClose(player.frames.front()->GetPixelARGB(x, y) & 0xFFFFFF, old, 2));
    EXPECT_TRUE(zorvak_test::ColoursClose(player.frames.back()->GetPixelARGB(x, y) & 0xFFFFFF, fresh, 2));
    const uint32_t middle = player.frames[35]->GetPixelARGB(x, y) & 0xFFFFFF;
    EXPECT_FALSE(zorvak_test::ColoursClose(middle, old, 10));
    EXPECT_FALSE(zorvak_test::ColoursClose(middle, fresh, 10));
}

TEST_F(Dialogue, CrossFadeToTheSamePictureDoesNothing) {
    zorvak_test::TStoryPlayer& player = Play();
    Script().TypeText(u"q", Now());
    CrossFade(Girl(), Girl().pictures[2], Girl().pictures[2], 1);
    EXPECT_EQ(player.presents, 0);
    PollInput();
    EXPECT_EQ(NextTypedChar(), u'q') << "input is not flushed";
}

TEST_F(Dialogue, EscapeDuringACrossFadeEndsTheProgram) {
    zorvak_test::TStoryPlayer& player = Play();
    player.escapeOnFadeFrame = 10;
    EXPECT_THROW(CrossFade(Girl(), Girl().pictures[0], Girl().pictures[1], 1), TProgramEnded);
    EXPECT_LT(player.fadeFrames, CROSS_FADE_STEPS);
}

}  // namespace
