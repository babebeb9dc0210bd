#include "game/board.h"

#include <cmath>

#include "system/random.h"

namespace zorvak {

namespace {

constexpr int kCellCount = BOARD_SIZE * BOARD_SIZE;

bool OnBoard(int i) {
    return i >= 0 && i < BOARD_SIZE;
}

bool SpyAt(const Grid& spies, int c, int r) {
    return OnBoard(c) && OnBoard(r) && spies[c][r] == 1;
}

int CellIndex(int pixel, int origin) {
    const int i = static_cast<int>(std::floor((pixel - origin) / static_cast<double>(CELL_SIZE)));
    return OnBoard(i) ? i : -1;
}

}  // namespace

void NewMission(TBoard& board, int count) {
    for (Grid* grid : {&board.finders, &board.spies, &board.marks}) *grid = Grid{};
    int remaining = count > kCellCount ? kCellCount : count;
    // Both coordinates are drawn before the loop may end, so every call consumes one pair of
    // draws more than it places; this fixes the sequence of boards that one seed gives.
    for (;;) {
        const int c = qrv::RandomInt(BOARD_SIZE, 1) - 1;
        const int r = qrv::RandomInt(BOARD_SIZE, 1) - 1;
        if (remaining <= 0) break;
        if (board.spies[c][r] != 0) continue;
        board.spies[c][r] = 1;
        --remaining;
    }
    board.submitArmed = 0;
    board.revealSpies = -1;
}

int FinderCount(const Grid& spies, int c, int r) {
    int count = SpyAt(spies, c, r) ? 1 : 0;
    for (int d = -(BOARD_SIZE - 1); d < BOARD_SIZE; ++d) {
        if (d == 0) continue;
        count += SpyAt(spies, c + d, r);      // same row
        count += SpyAt(spies, c, r + d);      // same column
        count += SpyAt(spies, c + d, r + d);  // falling diagonal
        count += SpyAt(spies, c - d, r + d);  // rising diagonal
    }
    return count;
}

void ComputeFinderCounts(TBoard& board) {
    for (int c = 0; c < BOARD_SIZE; ++c)
        for (int r = 0; r < BOARD_SIZE; ++r) board.finders[c][r] = FinderCount(board.spies, c, r);
}

CellPosition CellAt(int x, int y) {
    return {CellIndex(x, BOARD_LEFT), CellIndex(y, BOARD_TOP)};
}

void CycleNoteMark(TBoard& board, int c, int r) {
    int32_t& mark = board.marks[c][r];
    if (mark == MARK_SPY) return;
    ++mark;
    if (mark == MARK_SPY) mark = MARK_NONE;
}

void ToggleSpyMark(TBoard& board, int c, int r) {
    int32_t& mark = board.marks[c][r];
    mark = mark == MARK_SPY ? MARK_NONE : MARK_SPY;
}

int JudgeBoard(const TBoard& board) {
    for (int c = 0; c < BOARD_SIZE; ++c) {
        for (int r = 0; r < BOARD_SIZE; ++r) {
            const bool spy = board.spies[c][r] == 1;
            const bool marked = board.marks[c][r] == MARK_SPY;
            if (spy != marked) return VERDICT_FAILURE;
        }
    }
    return VERDICT_SUCCESS;
}

}  // namespace zorvak
