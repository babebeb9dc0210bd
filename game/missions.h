#pragma once

#include <cstdint>

namespace zorvak {

// The missions run from level 0 to level 6; the level is also the reward picture shown.
constexpr int MISSION_COUNT = 7;

// The spies on the board of a mission: a base of 3, 4, 4, 5, 5, 6, 6 for levels 0 to 6, plus
// the difficulty (0, 1 or 2). Any other difficulty counts as 2. A level outside 0..6 is held
// to the nearest end.
int SpyCountFor(int level, int32_t difficulty);
// The first board's count, which start-up sets before the first briefing has run.
int FirstMissionSpyCount(int32_t difficulty);
// Whether the briefings state the count; only difficulties 0, 1 and 2 do.
bool DifficultyStatesSpyCount(int32_t difficulty);

struct TLevelStep {
    int level;   // the level after the verdict
    bool moved;  // false when the verdict pushed against an end and the level stayed
};

// Up one after a solved board, down one after a failed one, held within 0..levelCount - 1.
TLevelStep StepLevel(int level, bool solved, int levelCount = MISSION_COUNT);

}  // namespace zorvak
