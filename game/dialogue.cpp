#include "game/dialogue.h"

#include "game/close_request.h"
#include "game/game.h"
#include "game/input_wait.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/image_module.h"
#include "kaz2d/kaz2d_module.h"
#include "kaz2d/text_drawing.h"
#include "system/application.h"
#include "system/clock.h"
#include "system/input.h"
#include "system/keys.h"

namespace zorvak {

namespace {

constexpr int32_t TEXT_OUTLINE_SHADE = 2;
constexpr int32_t TEXT_FACE_SHADE = 255;

// A typed character or a left click answers a line (the character is asked first).
bool PlayerAnswered() {
    if (qrv::NextTypedChar() != 0) return true;
    return qrv::MouseHitCount(qrv::MOUSE_LEFT) != 0;
}

void DrawPiece(const std::u16string& piece, float x, float y) {
    qrv::SetDrawColor(TEXT_OUTLINE_SHADE, TEXT_OUTLINE_SHADE, TEXT_OUTLINE_SHADE);
    qrv::DrawTextAt(piece, x + 1, y + 1);
    qrv::DrawTextAt(piece, x - 1, y - 1);
    qrv::DrawTextAt(piece, x + 1, y - 1);
    qrv::DrawTextAt(piece, x - 1, y + 1);
    qrv::SetDrawColor(TEXT_FACE_SHADE, TEXT_FACE_SHADE, TEXT_FACE_SHADE);
    qrv::DrawTextAt(piece, x, y);
}

void DrawDialogueFrameAndText(const TGame& game) {
    qrv::DrawImageAt(game.resources.dialogueFrameImage, 0, 0, 0);
    DrawDialogueText(game, DIALOGUE_LEFT, PORTRAIT_LINE_TOP);
}

void EndProgramOnEscape() {
    if (qrv::KeyHitCount(qrv::KEY_ESCAPE) != 0) qrv::EndProgram();
}

}  // namespace

void DrawDialogueText(const TGame& game, int x, int y) {
    qrv::SelectFont(game.resources.smallFont);
    qrv::SetDrawAlpha(1);
    float top = static_cast<float>(y);
    for (const std::u16string& piece : game.dialogueLines) {
        DrawPiece(piece, static_cast<float>(x), top);
        top += DIALOGUE_LINE_SPACING;
    }
}

void ShowNarrationLine(TGame& game, std::u16string_view text) {
    game.dialogueLines = WrapDialogueText(text, DIALOGUE_MIN_PIECE_LENGTH);
    DrawDialogueText(game, DIALOGUE_LEFT, NARRATION_TOP);
    qrv::PresentFrame(-1);
    qrv::ClearScreen();
    PollInput();
    while (!PlayerAnswered()) {
        EndProgramOnCloseRequest();
        WaitForInput();
    }
    if (qrv::KeyHitCount(qrv::KEY_SPACE) == 0) qrv::FlushKeyboard();
}

void ShowPortraitLine(TGame& game, std::u16string_view text) {
    TGirl& portrait = *game.resources.portrait;
    game.dialogueLines = WrapDialogueText(text, DIALOGUE_MIN_PIECE_LENGTH);
    qrv::SetDrawColor(255, 255, 255);
    qrv::SetDrawAlpha(1);
    (void)portrait.Update(1);
    DrawDialogueFrameAndText(game);
    qrv::PresentFrame(-1);
    qrv::FlushMouseButtons();
    qrv::FlushKeyboard();
    while (!PlayerAnswered()) {
        EndProgramOnCloseRequest();
        if (portrait.Update(0) != 0) {
            DrawDialogueFrameAndText(game);
            qrv::PresentFrame(-1);
        }
        WaitForInput(portrait.eye->DueTime());
    }
    EndProgramOnEscape();
    qrv::FlushKeyboard();
    qrv::FlushMouseButtons();
}

void CrossFade(TGirl& portrait, const qrv::Ref<qrv::TImage>& from,
               const qrv::Ref<qrv::TImage>& to, int32_t delayMillis) {
    if (from == to) return;
    for (int step = 0; step <= CROSS_FADE_STEPS; ++step) {
        qrv::SetDrawAlpha(1);
        qrv::DrawImageAt(from, 0, 0, 0);
        qrv::SetDrawAlpha(static_cast<float>(step / double(CROSS_FADE_STEPS)));
        qrv::DrawImageAt(to, 0, 0, 0);
        qrv::SetDrawAlpha(1);
        portrait.eye->Draw();
        qrv::PresentFrame(-1);
        qrv::DelayMillis(delayMillis);
        PollInput();
        EndProgramOnCloseRequest();
        EndProgramOnEscape();
    }
    qrv::SetDrawAlpha(1);
    qrv::FlushKeyboard();
    qrv::FlushMouseButtons();
}

}  // namespace zorvak
