#pragma once

namespace zorvak {

// Initialises what the game draws and loads with: the PNG and JPEG pixmap loaders, the
// FreeType font loader and the OpenGL 2D renderer, which becomes the graphics driver. Once.
// Also makes input queries read without pumping: the game's loops pump once per pass.
void InitGameModules();

// The program after the runtime has started: registers the embedded files, opens the window,
// loads the resources behind the loading screen, reads the settings, may play the
// introduction and runs the board until the player quits. Gives the exit code: 0 when the
// player quit, 1 when the window could not be opened or a resource could not be loaded (a
// message on the error output says which).
[[nodiscard]] int StartUp();

}  // namespace zorvak
