#pragma once

#include <cstdint>
#include <string_view>

namespace zorvak {

// From the settings file: line 2 (not 0 plays the introduction) and line 4 (how many spies
// each mission adds: 0, 1 or 2; other values count as 2). Lines 1 and 3 are labels.
struct TSettings {
    int32_t introFlag = 0;
    int32_t difficulty = 0;
};

// Reads the four lines of the settings file, by default "zorvak.cfg" in the working
// directory. Missing lines read as empty and give 0; a file that is missing or cannot be
// opened reads like an empty one (no introduction, difficulty 0), and so does a path that is
// no regular file (a FIFO is not opened, so start-up never waits for a writer). Nothing is
// written.
[[nodiscard]] TSettings ReadSettings(std::u16string_view url = u"zorvak.cfg");

}  // namespace zorvak
