#pragma once

namespace zorvak {

struct TGame;

// Initialises what the game stands on, once: the framework (the runtime, which makes the
// program's folder the working directory, and every module, with the renderer choice), then
// the game's own embedded files. Also makes input queries read without pumping: the game's
// loops pump once per pass.
void InitGameModules();

// The program: initialises the modules, opens the window, loads the resources into the game
// behind the loading screen, reads the settings, may play the introduction and runs the board
// until the player quits. The game is a fresh one. Gives the exit code: 0 when the player quit,
// 1 when the window could not be opened or a resource could not be loaded (a message on the
// error output says which).
[[nodiscard]] int StartUp(TGame& game);

}  // namespace zorvak
