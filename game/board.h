#pragma once

#include <array>
#include <cstdint>

namespace zorvak {

constexpr int BOARD_SIZE = 8;
// Window position of the board's top-left cell and the size of a cell, in pixels.
constexpr int BOARD_LEFT = 56;
constexpr int BOARD_TOP = 56;
constexpr int CELL_SIZE = 50;

// Mark values. Readers test for 1, 2 and 3 exactly; any other value is no mark.
constexpr int32_t MARK_NONE = 0;
constexpr int32_t MARK_GREY = 1;  // the player's note: no spy here
constexpr int32_t MARK_RED = 2;   // the player's note: maybe a spy
constexpr int32_t MARK_SPY = 3;   // the only mark that is judged

constexpr int VERDICT_FAILURE = 0;
constexpr int VERDICT_SUCCESS = 1;

// A grid indexed column first: grid[c][r], c from the left, r from the top.
using Grid = std::array<std::array<int32_t, BOARD_SIZE>, BOARD_SIZE>;

// The board of the mission under way and the state the board screen keeps beside it.
struct TBoard {
    Grid spies{};    // 1 where a spy hides
    Grid finders{};  // each cell's direction-finder count, derived from spies
    Grid marks{};    // the player's marks

    int nextSpyCount = 5;  // spy count of the next mission
    int submitArmed = 0;   // the submit button was clicked once
    int revealSpies = -1;  // 1 while a failed board shows its spies, else -1
};

struct CellPosition {
    int c;
    int r;
    bool IsCell() const { return c >= 0 && r >= 0; }
};

// Clears the grids and hides `count` spies (at most 64) in random cells.
void NewMission(TBoard& board, int count);
// Fills `finders` from `spies`; must follow every NewMission.
void ComputeFinderCounts(TBoard& board);
// The spies a queen on (c, r) would attack, plus one for a spy on the cell itself.
int FinderCount(const Grid& spies, int c, int r);
// The cell under a window position; each coordinate is -1 when outside the grid.
CellPosition CellAt(int x, int y);
// Left click: no mark, grey, red, no mark again. A spy mark is protected from left clicks.
void CycleNoteMark(TBoard& board, int c, int r);
// Right click: the spy mark on, or off again.
void ToggleSpyMark(TBoard& board, int c, int r);
// VERDICT_SUCCESS when the spy marks coincide exactly with the spies, else VERDICT_FAILURE.
int JudgeBoard(const TBoard& board);

}  // namespace zorvak
