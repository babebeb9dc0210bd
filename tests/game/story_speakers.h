#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "game/story_text.h"

namespace zorvak_test {

// The speaker's label of a story line: the text before the colon, without a stage direction
// in parentheses; empty for narration (a line that does not open with a known label).
inline std::u16string_view SpeakerOf(std::u16string_view line) {
    for (std::u16string_view label : {zorvak::INSTRUCTOR, zorvak::PLAYER, zorvak::COMMANDER,
                                      zorvak::SENIOR, zorvak::JUNIOR, zorvak::LIAISON,
                                      zorvak::CAPTIVE}) {
        if (!line.starts_with(label)) continue;
        const std::u16string_view after = line.substr(label.size());
        if (after.starts_with(u":")) return label;
        if (after.starts_with(u" (") && after.find(u"):") != std::u16string_view::npos) return label;
    }
    return {};
}

template <typename Lines>
std::vector<std::u16string_view> SpeakersOf(const Lines& lines) {
    std::vector<std::u16string_view> speakers;
    for (const auto& line : lines) speakers.push_back(SpeakerOf(line));
    return speakers;
}

}  // namespace zorvak_test
