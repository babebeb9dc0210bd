#include "game/board.h"

#include <cmath>

#include "system/random.h"

namespace zorvak {

Grid spies{};
Grid finders{};
Grid marks{};

int nextSpyCount = 5;
int submitArmed = 0;
int revealSpies = -1;

namespace {

constexpr int kCellCount = BOARD_SIZE * BOARD_SIZE;

bool OnBoard(int i) {
    return i >= 0 && i < BOARD_SIZE;
}

bool SpyAt(int c, int r) {
    return OnBoard(c) && OnBoard(r) && spies[c][r] == 1;
}

int CellIndex(int pixel, int origin) {
    const int i = static_cast<int>(std::floor((pixel - origin) / static_cast<double>(CELL_SIZE)));
    return OnBoard(i) ? i : -1;
}

}  // namespace

void NewMission(int count) {
    for (Grid* grid : {&finders, &spies, &marks}) *grid = Grid{};
    int remaining = count > kCellCount ? kCellCount : count;
    // Both coordinates are drawn before the loop may end, so every call consumes one pair of
    // draws more than it places; this fixes the sequence of boards that one seed gives.
    for (;;) {
        const int c = qrv::RandomInt(BOARD_SIZE, 1) - 1;
        const int r = qrv::RandomInt(BOARD_SIZE, 1) - 1;
        if (remaining <= 0) break;
        if (spies[c][r] != 0) continue;
        spies[c][r] = 1;
        --remaining;
    }
    submitArmed = 0;
    revealSpies = -1;
}

int FinderCount(int c, int r) {
    int count = SpyAt(c, r) ? 1 : 0;
    for (int d = -(BOARD_SIZE - 1); d < BOARD_SIZE; ++d) {
        if (d == 0) continue;
        count += SpyAt(c + d, r);      // same row
        count += SpyAt(c, r + d);      // same column
        count += SpyAt(c + d, r + d);  // falling diagonal
        count += SpyAt(c - d, r + d);  // rising diagonal
    }
    return count;
}

void ComputeFinderCounts() {
    for (int c = 0; c < BOARD_SIZE; ++c)
        for (int r = 0; r < BOARD_SIZE; ++r) finders[c][r] = FinderCount(c, r);
}

CellPosition CellAt(int x, int y) {
    return {CellIndex(x, BOARD_LEFT), CellIndex(y, BOARD_TOP)};
}

void CycleNoteMark(int c, int r) {
    int32_t& mark = marks[c][r];
    if (mark == MARK_SPY) return;
    ++mark;
    if (mark == MARK_SPY) mark = MARK_NONE;
}

void ToggleSpyMark(int c, int r) {
    int32_t& mark = marks[c][r];
    mark = mark == MARK_SPY ? MARK_NONE : MARK_SPY;
}

int JudgeBoard() {
    for (int c = 0; c < BOARD_SIZE; ++c) {
        for (int r = 0; r < BOARD_SIZE; ++r) {
            const bool spy = spies[c][r] == 1;
            const bool marked = marks[c][r] == MARK_SPY;
            if (spy != marked) return VERDICT_FAILURE;
        }
    }
    return VERDICT_SUCCESS;
}

}  // namespace zorvak
