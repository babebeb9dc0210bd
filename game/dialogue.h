#pragma once

#include <cstdint>
#include <string_view>

#include "game/dialogue_layout.h"
#include "game/portrait.h"
#include "kaz2d/image.h"

namespace zorvak {

struct TGame;

// The routines below draw with the game's resources (LoadGameResources) in the open window.
// A close request ends the program in every one of them (EndProgramOnCloseRequest). Each line
// routine replaces the game's dialogueLines with the pieces of its line.

// Draws the game's dialogueLines from (x, y) downward in smallFont: white with a thin dark
// outline, so that it reads on any background. Leaves the colour white and the alpha 1.
void DrawDialogueText(const TGame& game, int x, int y);

// Shows the line alone on the cleared screen and waits for a typed character or a left click.
// Space keeps what was typed ahead, so each further Space skips a line; anything else
// discards it. Escape only advances.
void ShowNarrationLine(TGame& game, std::u16string_view text);

// Shows the line over the portrait and the dialogue frame and waits for a typed character or
// a left click, redrawing only when the eyes change. Escape ends the program.
void ShowPortraitLine(TGame& game, std::u16string_view text);

// Blends the portrait from one picture into the other over 71 frames, sleeping delayMillis
// after each; the portrait's eyes keep blinking. Nothing at all when both are the same
// picture. Escape ends the program.
void CrossFade(TGirl& portrait, const qrv::Ref<qrv::TImage>& from,
               const qrv::Ref<qrv::TImage>& to, int32_t delayMillis);

}  // namespace zorvak
