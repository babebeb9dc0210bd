#pragma once

#include <string>
#include <vector>

#include "game/board.h"
#include "game/board_picture.h"
#include "game/resources.h"
#include "game/settings.h"

namespace zorvak {

// One game: what start-up loads and reads, and everything its screens change as it runs. The
// screens are handed the game (or the part of it they use); nothing of it lives elsewhere.
struct TGame {
    TGameResources resources;
    TSettings settings;
    TBoard board;
    // The pieces of the story line now shown; each line routine replaces them.
    std::vector<std::u16string> dialogueLines;
    // The board view last drawn, kept for the timed redraws of an unchanged board.
    TBoardPicture boardPicture;
};

}  // namespace zorvak
