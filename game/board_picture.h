#pragma once

#include "game/board.h"
#include "game/resources.h"
#include "kaz2d/image.h"
#include "kaz2d/image_font.h"

namespace zorvak {

// Everything the board view is drawn from: the board, the player's marks, the button's state,
// the pictures and font it is drawn with (and where their handles sit), and the window (its
// context generation: another window, perhaps on the other renderer, draws the view afresh).
struct TBoardInputs {
    int32_t generation = 0;
    Grid spies{};
    Grid finders{};
    Grid marks{};
    int submitArmed = 0;
    int revealSpies = 0;
    qrv::Ref<qrv::TImage> background, button, spyMark;
    float handles[3][2]{};
    qrv::Ref<qrv::TImageFont> font;

    bool operator==(const TBoardInputs& other) const;
};

// The inputs as they are now: the board and the resources it is drawn with, in the current window.
[[nodiscard]] TBoardInputs CurrentBoardInputs(const TBoard& board, const TGameResources& resources);

// The last board view drawn, kept as one picture, so that the timed redraw of a board on which
// nothing changed draws one opaque picture instead of every part. A view is kept when the same
// inputs are drawn a second time in a row, so the first board of a game costs no more than
// before. Kept only of views drawn plainly (PlainBoardDrawing): then the view covers the window
// and does not depend on what the window showed before.
class TBoardPicture {
public:
    // Whether the kept picture shows these inputs.
    [[nodiscard]] bool Shows(const TBoardInputs& inputs) const;
    // Draws the kept picture over the whole window; the caller draws plainly.
    void Draw() const;
    // After a plain draw of the view from these inputs: keeps the window's picture when the
    // same inputs were drawn last time as well.
    void NoteDrawn(const TBoardInputs& inputs);

private:
    TBoardInputs lastDrawn;
    bool drawnBefore = false;
    qrv::Ref<qrv::TImage> picture;
    TBoardInputs shown;
};

// Whether the board view drawn now covers the whole window exactly as a plain draw: full draw
// alpha, no viewport, origin, handle, turn or scale, and a window no larger than an opaque
// background.
[[nodiscard]] bool PlainBoardDrawing();

}  // namespace zorvak
