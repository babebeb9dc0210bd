#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zorvak {

// Layout of a story line: its text starts at the left edge and runs down in pieces 20 pixels
// apart, from the middle of a cleared window (narration) or inside the dialogue frame over the
// portrait.
constexpr int DIALOGUE_LEFT = 22;
constexpr int NARRATION_TOP = 230;
constexpr int PORTRAIT_LINE_TOP = 410;
constexpr int DIALOGUE_LINE_SPACING = 20;
constexpr int DIALOGUE_MIN_PIECE_LENGTH = 38;
// Appended to every line before it is broken, so that a break is always found.
constexpr int DIALOGUE_TAIL_BLANKS = 57;
// Frames of a portrait cross-fade, from the old picture alone to the new one alone.
constexpr int CROSS_FADE_STEPS = 70;

// Breaks text into pieces: each piece but the last runs to the end of the word that reaches
// index minLength, and the blank there is dropped. The text is first padded with the tail of
// blanks, so the last piece is what is left of them. Words are never split.
[[nodiscard]] std::vector<std::u16string> WrapDialogueText(std::u16string_view text,
                                                           int minLength);

}  // namespace zorvak
