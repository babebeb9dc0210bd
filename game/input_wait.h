#pragma once

#include <cstdint>

namespace zorvak {

// Every screen of the game is a polling loop. The game pumps the window messages itself, once
// per pass, so its input queries do not pump (InitGameModules turns that off): PollInput before
// a loop's first pass, and one of the waits below at the end of every pass. A wait sleeps a
// millisecond like a busy pass would, then blocks until a message arrives or the loop's next
// timed event is due, so an idle screen costs no processor time and still reacts and redraws
// at the same moments.

// Pumps the messages that arrived since the last pump.
void PollInput();
// Ends a pass of a loop that has nothing timed to do: sleeps 1 ms, waits for the next message
// (a second at most) and pumps.
void WaitForInput();
// The same, but waits no later than the clock reading dueAt, the first moment at which the
// loop has timed work (a redraw, a blink).
void WaitForInput(uint32_t dueAt);

}  // namespace zorvak
