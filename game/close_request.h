#pragma once

namespace zorvak {

// Ends the program (exit code 0, like Escape) when the window was asked to close since the
// last test: the close button, Alt+F4 or a window manager's close. Every polling loop of the
// game calls it once per pass, so the player can always leave. Nothing needs saving.
void EndProgramOnCloseRequest();

}  // namespace zorvak
