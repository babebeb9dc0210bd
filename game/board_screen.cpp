#include "game/board_screen.h"

#include <string>

#include "core/number_text.h"
#include "core/text.h"
#include "game/game.h"
#include "kaz2d/image_module.h"
#include "kaz2d/kaz2d_driver.h"
#include "kaz2d/kaz2d_module.h"
#include "kaz2d/text_drawing.h"

namespace zorvak {

namespace {

constexpr int LABEL_LEFT = 16;
constexpr int LABEL_TOP = 13;

struct TColour {
    int red, green, blue;
};
constexpr TColour WHITE{255, 255, 255};
constexpr TColour RED{255, 0, 0};
constexpr TColour LIGHT_GREY{200, 200, 200};
constexpr TColour NEAR_BLACK{5, 5, 5};

void UseColour(TColour colour) {
    qrv::SetDrawColor(colour.red, colour.green, colour.blue);
}

// Multiplies the cell's pixels by the colour.
void ShadeCell(float x, float y, TColour colour) {
    UseColour(colour);
    qrv::SetBlendMode(qrv::BLEND_SHADE);
    qrv::FillRect(x, y, CELL_SIZE, CELL_SIZE);
    qrv::SetBlendMode(qrv::BLEND_ALPHA);
}

void DrawMark(int32_t mark, const qrv::Ref<qrv::TImage>& spyMarkImage, float x, float y) {
    switch (mark) {
        case MARK_RED:
            ShadeCell(x, y, RED);
            break;
        case MARK_SPY:
            UseColour(RED);
            qrv::SetBlendMode(qrv::BLEND_ALPHA);
            qrv::DrawImageAt(spyMarkImage, x, y, 0);
            break;
        case MARK_GREY:
            ShadeCell(x, y, LIGHT_GREY);
            break;
        default:
            break;  // any other value is no mark
    }
}

// The finder count in dark grey over a light one-pixel outline; red on a revealed spy.
void DrawFinderLabel(const TBoard& board, int c, int r, float x, float y) {
    const std::u16string label = qrv::IntegerText(board.finders[c][r]) + u" ";
    const float left = x + LABEL_LEFT;
    const float top = y + LABEL_TOP;
    UseColour(LIGHT_GREY);
    qrv::DrawTextAt(label, left + 1, top);
    qrv::DrawTextAt(label, left - 1, top);
    qrv::DrawTextAt(label, left, top - 1);
    qrv::DrawTextAt(label, left, top + 1);
    UseColour(board.revealSpies == 1 && board.spies[c][r] == 1 ? RED : NEAR_BLACK);
    qrv::DrawTextAt(label, left, top);
}

// Every part of the view, over the whole window.
void DrawBoardParts(const TBoard& board, const TGameResources& resources) {
    qrv::DrawImageAt(resources.backgroundImage, 0, 0, 0);
    qrv::SetDrawAlpha(1.0f);
    qrv::SelectFont(resources.largeFont);
    for (int c = 0; c < BOARD_SIZE; ++c) {
        for (int r = 0; r < BOARD_SIZE; ++r) {
            const float x = static_cast<float>(BOARD_LEFT + CELL_SIZE * c);
            const float y = static_cast<float>(BOARD_TOP + CELL_SIZE * r);
            DrawMark(board.marks[c][r], resources.spyMarkImage, x, y);
            DrawFinderLabel(board, c, r, x, y);
        }
    }
    UseColour(board.submitArmed == 1 ? RED : WHITE);
    qrv::DrawImageAt(resources.buttonImage, BUTTON_LEFT, BUTTON_TOP, 0);
    UseColour(WHITE);
}

}  // namespace

void DrawBoardScreen(TGame& game) {
    // Every caller draws with alpha blending; setting it here keeps that promise on return
    // even on a board without notes.
    qrv::SetBlendMode(qrv::BLEND_ALPHA);
    UseColour(WHITE);
    const TBoardInputs inputs = CurrentBoardInputs(game.board, game.resources);
    const bool plain = PlainBoardDrawing();
    if (plain && game.boardPicture.Shows(inputs)) {
        game.boardPicture.Draw();
        qrv::SelectFont(game.resources.largeFont);
        return;
    }
    DrawBoardParts(game.board, game.resources);
    if (plain) game.boardPicture.NoteDrawn(inputs);
}

}  // namespace zorvak
