#include "game/board.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "system/random.h"

namespace zorvak {
namespace {

// An independent model of the generator and of RandomInt(8, 1), used to predict boards.
struct ReferenceGenerator {
    int64_t state;
    int64_t Next() { return state = state * 48271 % 2147483647; }
    int DrawCell() {
        const int64_t s1 = Next() & 0x1FFFFFFC;
        const int64_t s2 = Next() & 0x1FFFFFF8;
        const double r = (s1 + s2 / 134217728.0) / 536870912.0;
        return static_cast<int>(1 + r * 8) - 1;
    }
};

std::vector<std::pair<int, int>> ExpectedSpies(int32_t seed, int count) {
    ReferenceGenerator gen{seed};
    bool taken[8][8] = {};
    std::vector<std::pair<int, int>> placed;
    for (;;) {
        const int c = gen.DrawCell();
        const int r = gen.DrawCell();
        if (count == 0) break;
        if (taken[c][r]) continue;
        taken[c][r] = true;
        placed.emplace_back(c, r);
        --count;
    }
    return placed;
}

void PlaceSpies(TBoard& board, std::initializer_list<std::pair<int, int>> cells) {
    board.spies = Grid{};
    for (auto [c, r] : cells) board.spies[c][r] = 1;
    ComputeFinderCounts(board);
}

int SpyCount(const TBoard& board) {
    int n = 0;
    for (auto& column : board.spies)
        for (int32_t v : column) n += v;
    return n;
}

TEST(Board, InitialState) {
    TBoard board;
    EXPECT_EQ(board.nextSpyCount, 5);
    EXPECT_EQ(board.submitArmed, 0);
    EXPECT_EQ(board.revealSpies, -1);
}

TEST(Board, FixedSeedGivesThePredictedBoards) {
    TBoard board;
    for (int32_t seed : {1, 4660, 987654321}) {
        qrv::SeedRandom(seed);
        NewMission(board, 6);
        const auto expected = ExpectedSpies(seed, 6);
        ASSERT_EQ(SpyCount(board), 6) << "seed " << seed;
        for (auto [c, r] : expected) EXPECT_EQ(board.spies[c][r], 1) << "seed " << seed << " cell " << c << "," << r;
    }
}

TEST(Board, EveryMissionConsumesOnePairOfDrawsMore) {
    TBoard board;
    qrv::SeedRandom(31337);
    NewMission(board, 0);
    EXPECT_EQ(SpyCount(board), 0);
    ReferenceGenerator gen{31337};
    for (int i = 0; i < 4; ++i) gen.Next();
    EXPECT_EQ(qrv::GetRandomSeed(), gen.state);
}

TEST(Board, CountIsCappedAtSixtyFour) {
    TBoard board;
    qrv::SeedRandom(3);
    NewMission(board, 64);
    EXPECT_EQ(SpyCount(board), 64);
    NewMission(board, 100);
    EXPECT_EQ(SpyCount(board), 64);
}

TEST(Board, NewMissionClearsMarksAndResetsFlags) {
    TBoard board;
    qrv::SeedRandom(8);
    board.marks[2][2] = MARK_SPY;
    board.finders[1][1] = 9;
    board.submitArmed = 1;
    board.revealSpies = 1;
    NewMission(board, 3);
    EXPECT_EQ(board.marks[2][2], MARK_NONE);
    EXPECT_EQ(board.finders[1][1], 0);
    EXPECT_EQ(board.submitArmed, 0);
    EXPECT_EQ(board.revealSpies, -1);
}

TEST(Board, OneSpySeenAlongRowColumnAndDiagonals) {
    TBoard board;
    PlaceSpies(board, {{2, 5}});
    for (int c = 0; c < 8; ++c) {
        for (int r = 0; r < 8; ++r) {
            const bool seen = c == 2 || r == 5 || c - r == 2 - 5 || c + r == 2 + 5;
            EXPECT_EQ(board.finders[c][r], seen ? 1 : 0) << "cell " << c << "," << r;
        }
    }
}

TEST(Board, CornerSeesTheOppositeCornerAlongTheDiagonal) {
    TBoard board;
    PlaceSpies(board, {{7, 7}});
    EXPECT_EQ(board.finders[0][0], 1);
    PlaceSpies(board, {{0, 7}});
    EXPECT_EQ(board.finders[7][0], 1);
    EXPECT_EQ(board.finders[6][0], 0);
}

TEST(Board, FullBoardCountsByRing) {
    TBoard board;
    for (auto& column : board.spies) column.fill(1);
    ComputeFinderCounts(board);
    for (int c = 0; c < 8; ++c) {
        for (int r = 0; r < 8; ++r) {
            const int ring = std::min(std::min(c, 7 - c), std::min(r, 7 - r));
            EXPECT_EQ(board.finders[c][r], 22 + 2 * ring) << "cell " << c << "," << r;
        }
    }
}

TEST(Board, CellAtBordersAndOutside) {
    const struct {
        int x, y, c, r;
    } cases[] = {{56, 56, 0, 0},   {455, 455, 7, 7}, {456, 200, -1, 2}, {55, 100, -1, 0},
                 {105, 106, 0, 1}, {0, 0, -1, -1},   {-30, 60, -1, 0},  {1000, 455, -1, 7}};
    for (auto t : cases) {
        const CellPosition cell = CellAt(t.x, t.y);
        EXPECT_EQ(cell.c, t.c) << "x " << t.x;
        EXPECT_EQ(cell.r, t.r) << "y " << t.y;
    }
    EXPECT_TRUE(CellAt(56, 56).IsCell());
    EXPECT_FALSE(CellAt(55, 56).IsCell());
}

TEST(Board, MarkEditing) {
    TBoard board;
    CycleNoteMark(board, 1, 1);
    EXPECT_EQ(board.marks[1][1], MARK_GREY);
    CycleNoteMark(board, 1, 1);
    EXPECT_EQ(board.marks[1][1], MARK_RED);
    CycleNoteMark(board, 1, 1);
    EXPECT_EQ(board.marks[1][1], MARK_NONE);

    CycleNoteMark(board, 1, 1);
    ToggleSpyMark(board, 1, 1);
    EXPECT_EQ(board.marks[1][1], MARK_SPY);
    CycleNoteMark(board, 1, 1);  // a left click leaves the spy mark alone
    EXPECT_EQ(board.marks[1][1], MARK_SPY);
    ToggleSpyMark(board, 1, 1);  // a second right click leaves no mark, not the earlier note
    EXPECT_EQ(board.marks[1][1], MARK_NONE);
}

TEST(Board, JudgingComparesOnlySpyMarks) {
    TBoard board;
    PlaceSpies(board, {{0, 0}, {3, 4}});
    EXPECT_EQ(JudgeBoard(board), VERDICT_FAILURE) << "unmarked board.spies";

    board.marks[0][0] = MARK_SPY;
    board.marks[3][4] = MARK_SPY;
    board.marks[5][5] = MARK_GREY;
    board.marks[6][6] = MARK_RED;
    EXPECT_EQ(JudgeBoard(board), VERDICT_SUCCESS) << "notes never matter";

    board.marks[0][0] = MARK_RED;
    EXPECT_EQ(JudgeBoard(board), VERDICT_FAILURE) << "a red note is not a spy mark";
    board.marks[0][0] = 4;
    EXPECT_EQ(JudgeBoard(board), VERDICT_FAILURE) << "an unknown value is no mark";

    board.marks[0][0] = MARK_SPY;
    board.marks[7][7] = MARK_SPY;
    EXPECT_EQ(JudgeBoard(board), VERDICT_FAILURE) << "a spy mark on an empty cell";
}

}  // namespace
}  // namespace zorvak
