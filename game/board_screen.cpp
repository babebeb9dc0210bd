#include "game/board_screen.h"

#include <string>

#include "core/text.h"
#include "game/board.h"
#include "game/board_picture.h"
#include "game/resources.h"
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

void DrawMark(int32_t mark, float x, float y) {
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
void DrawFinderLabel(int c, int r, float x, float y) {
    const std::u16string label = qrv::FromLatin1(std::to_string(finders[c][r])) + u" ";
    const float left = x + LABEL_LEFT;
    const float top = y + LABEL_TOP;
    UseColour(LIGHT_GREY);
    qrv::DrawTextAt(label, left + 1, top);
    qrv::DrawTextAt(label, left - 1, top);
    qrv::DrawTextAt(label, left, top - 1);
    qrv::DrawTextAt(label, left, top + 1);
    UseColour(revealSpies == 1 && spies[c][r] == 1 ? RED : NEAR_BLACK);
    qrv::DrawTextAt(label, left, top);
}

// Every part of the view, over the whole window.
void DrawBoardParts() {
    qrv::DrawImageAt(backgroundImage, 0, 0, 0);
    qrv::SetDrawAlpha(1.0f);
    qrv::SelectFont(largeFont);
    for (int c = 0; c < BOARD_SIZE; ++c) {
        for (int r = 0; r < BOARD_SIZE; ++r) {
            const float x = static_cast<float>(BOARD_LEFT + CELL_SIZE * c);
            const float y = static_cast<float>(BOARD_TOP + CELL_SIZE * r);
            DrawMark(marks[c][r], x, y);
            DrawFinderLabel(c, r, x, y);
        }
    }
    UseColour(submitArmed == 1 ? RED : WHITE);
    qrv::DrawImageAt(buttonImage, BUTTON_LEFT, BUTTON_TOP, 0);
    UseColour(WHITE);
}

TBoardPicture boardPicture;

}  // namespace

void DrawBoardScreen() {
    // Every caller draws with alpha blending; setting it here keeps that promise on return
    // even on a board without notes.
    qrv::SetBlendMode(qrv::BLEND_ALPHA);
    UseColour(WHITE);
    const TBoardInputs inputs = CurrentBoardInputs();
    const bool plain = PlainBoardDrawing();
    if (plain && boardPicture.Shows(inputs)) {
        boardPicture.Draw();
        qrv::SelectFont(largeFont);
        return;
    }
    DrawBoardParts();
    if (plain) boardPicture.NoteDrawn(inputs);
}

}  // namespace zorvak
