#pragma once

namespace zorvak {

struct TGame;

// Both scenes need the game's resources loaded (LoadGameResources) and the window open.

// The introduction: 48 narration lines, the last but one naming the first board's spies.
// Played by start-up when the settings ask for it; changes nothing but the dialogue lines.
void PlayIntroductionScene(TGame& game);

// The scene after a verdict (solved: 1 when the spy marks matched, else 0). The instructor
// comments, the level moves up or down within 0..6, the portrait changes to the level's
// picture with a cross-fade, and the briefing sets nextSpyCount for the next board. Escape on
// a portrait line or during the fade ends the program.
void PlayResultScene(TGame& game, int solved);

}  // namespace zorvak
