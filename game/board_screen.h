#pragma once

namespace zorvak {

struct TGame;

// Where the submit button is drawn; it answers clicks strictly inside its one-pixel border.
constexpr int BUTTON_LEFT = 270;
constexpr int BUTTON_TOP = 460;
constexpr int BUTTON_RIGHT = 456;   // first column right of the click area
constexpr int BUTTON_BOTTOM = 512;  // first row below the click area

// True when a click at (x, y) is on the submit button.
[[nodiscard]] constexpr bool IsOnSubmitButton(int x, int y) {
    return x > BUTTON_LEFT && x < BUTTON_RIGHT && y > BUTTON_TOP && y < BUTTON_BOTTOM;
}

// Paints the whole board view into the back buffer: background, the player's marks, every
// finder number (red on spy cells while the spies are revealed) and the submit button, red
// when armed. Does not present. Leaves colour white, alpha 1, alpha blending and largeFont.
// Keeps the drawn view in the game's board picture for the next redraw.
void DrawBoardScreen(TGame& game);

}  // namespace zorvak
