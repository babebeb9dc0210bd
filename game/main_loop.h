#pragma once

#include "game/resources.h"

namespace zorvak {

struct TGame;

// The game's board: starts a mission with nextSpyCount spies and turns clicks into marks until
// Escape. Left clicks cycle a cell's notes, right clicks its spy mark; two left clicks in a row
// on the submit button judge the board (verdict, then the scene after it) and start the next
// mission. Space shows the portrait, F1 the help. Redraws after a click and every 500 ms. A
// close request ends the program here and on the screens below.
void MainLoop(TGame& game);

// Shows the help picture until a typed character or a left click; leaves the input flushed.
void ShowHelp(const TGameResources& resources);

// Shows the portrait with its blinking eyes until a typed character; clicks do nothing here.
// Escape ends the program.
void ShowPortrait(TGirl& portrait);

}  // namespace zorvak
