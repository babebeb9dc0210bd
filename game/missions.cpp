#include "game/missions.h"

#include <algorithm>

namespace zorvak {

namespace {

constexpr int BASE_SPY_COUNTS[MISSION_COUNT] = {3, 4, 4, 5, 5, 6, 6};
constexpr int32_t HARDEST_DIFFICULTY = 2;

}  // namespace

bool DifficultyStatesSpyCount(int32_t difficulty) {
    return difficulty >= 0 && difficulty <= HARDEST_DIFFICULTY;
}

int SpyCountFor(int level, int32_t difficulty) {
    const int heldLevel = std::clamp(level, 0, MISSION_COUNT - 1);
    const int added = DifficultyStatesSpyCount(difficulty) ? difficulty : HARDEST_DIFFICULTY;
    return BASE_SPY_COUNTS[heldLevel] + added;
}

int FirstMissionSpyCount(int32_t difficulty) {
    return SpyCountFor(0, difficulty);
}

TLevelStep StepLevel(int level, bool solved, int levelCount) {
    const int wanted = solved ? level + 1 : level - 1;
    if (wanted >= levelCount) return {levelCount - 1, false};
    if (wanted < 0) return {0, false};
    return {wanted, true};
}

}  // namespace zorvak
