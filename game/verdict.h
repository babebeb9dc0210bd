#pragma once

namespace zorvak {

struct TGame;

// Judges the submitted board, fades the success or failure picture in over it and waits for a
// typed character or a click; after a failure it then alternates every 1.5 s between the board
// with the spies' numbers in red (and a caption) and the plain board, until the next answer.
// Gives VERDICT_SUCCESS or VERDICT_FAILURE and leaves keyboard and mouse buttons flushed.
[[nodiscard]] int ShowVerdict(TGame& game);

}  // namespace zorvak
