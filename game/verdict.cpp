#include "game/verdict.h"

#include <cstdint>

#include "game/board_screen.h"
#include "game/close_request.h"
#include "game/game.h"
#include "game/input_wait.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/image_module.h"
#include "kaz2d/kaz2d_module.h"
#include "kaz2d/text_drawing.h"
#include "system/clock.h"
#include "system/input.h"
#include "system/keys.h"

namespace zorvak {

namespace {

constexpr float FADE_STEP = 0.1f;
constexpr float SHADOW_ALPHA = 0.7f;
constexpr int PICTURE_X = 56;
constexpr int PICTURE_Y = 128;
constexpr int SHADOW_X = 62;
constexpr int SHADOW_Y = 138;
constexpr int32_t REVEAL_TOGGLE_MILLIS = 1500;
constexpr float CAPTION_X = 170;
constexpr float CAPTION_Y = 15;
constexpr char16_t CAPTION[] = u"А расклад был такой...";

void FlushInput() {
    qrv::FlushKeyboard();
    qrv::FlushMouseButtons();
}

// A typed character or a click of either button, tested in that order.
bool PlayerAnswered() {
    return qrv::NextTypedChar() != 0 || qrv::MouseHitCount(qrv::MOUSE_LEFT) != 0 ||
           qrv::MouseHitCount(qrv::MOUSE_RIGHT) != 0;
}

// Ten frames, t = 0, 0.1 ... 0.9 in single precision: the picture ends at alpha 0.9.
void FadeInVerdictPicture(TGame& game, int result) {
    const TGameResources& resources = game.resources;
    for (float t = 0.0f; t <= 1.0f; t += FADE_STEP) {
        qrv::SetDrawAlpha(1.0f);
        DrawBoardScreen(game);
        // The shadow is cut from the success picture in both outcomes; both are the same size.
        qrv::SetDrawColor(0, 0, 0);
        qrv::SetDrawAlpha(SHADOW_ALPHA * t);
        qrv::DrawImageAt(resources.winImage, SHADOW_X, SHADOW_Y, 0);
        qrv::SetDrawColor(255, 255, 255);
        qrv::SetDrawAlpha(1.0f * t);
        qrv::DrawImageAt(result == VERDICT_SUCCESS ? resources.winImage : resources.failImage,
                         PICTURE_X, PICTURE_Y, 0);
        qrv::PresentFrame();
        qrv::ClearScreen();
        PollInput();
        EndProgramOnCloseRequest();
    }
}

void DrawRevealCaption(const qrv::Ref<qrv::TImageFont>& smallFont) {
    qrv::SelectFont(smallFont);
    qrv::SetDrawColor(5, 0, 0);
    qrv::DrawTextAt(CAPTION, CAPTION_X, CAPTION_Y);
}

// The board with or without the spies shown, as revealSpies says.
void DrawRevealFrame(TGame& game) {
    DrawBoardScreen(game);
    if (game.board.revealSpies == 1) DrawRevealCaption(game.resources.smallFont);
    qrv::PresentFrame();
}

void RevealSpiesUntilAnswered(TGame& game, uint32_t start) {
    int state = 1;
    game.board.revealSpies = state;
    DrawRevealFrame(game);
    PollInput();
    while (!PlayerAnswered()) {
        EndProgramOnCloseRequest();
        const uint32_t now = qrv::MillisecondClock();
        if (static_cast<int32_t>(now - start) > REVEAL_TOGGLE_MILLIS) {
            start = now;
            state = -state;
            game.board.revealSpies = state;
            DrawRevealFrame(game);
        }
        WaitForInput(start + REVEAL_TOGGLE_MILLIS + 1);
    }
}

}  // namespace

int ShowVerdict(TGame& game) {
    const int result = JudgeBoard(game.board);
    FadeInVerdictPicture(game, result);
    qrv::SetDrawAlpha(1.0f);
    FlushInput();
    while (!PlayerAnswered()) {
        EndProgramOnCloseRequest();
        WaitForInput();
    }
    FlushInput();
    const uint32_t start = qrv::MillisecondClock();
    qrv::SelectFont(game.resources.smallFont);
    if (result == VERDICT_FAILURE) RevealSpiesUntilAnswered(game, start);
    FlushInput();
    return result;
}

}  // namespace zorvak
