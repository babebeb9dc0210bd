// Where the atlas puts its cells: shelves fill a page, freed cells are taken again, and a page
// with room for nothing more says so.
#include <gtest/gtest.h>

#include "kaz2d/gl/atlas_packing.h"

namespace qrv::testing {
namespace {

TEST(AtlasPacking, CellsFillShelvesAndLowerCellsJoinASuitableShelf) {
    TAtlasPacking page(64);
    EXPECT_EQ(page.Take(20, 16), (TAtlasCell{0, 0, 20, 16}));
    EXPECT_EQ(page.Take(30, 14), (TAtlasCell{20, 0, 30, 16})) << "low enough for the shelf";
    EXPECT_EQ(page.Take(20, 10), (TAtlasCell{0, 16, 20, 10})) << "too low: a shelf of its own";
    EXPECT_EQ(page.Take(20, 16), (TAtlasCell{0, 26, 20, 16})) << "no width left on the first";
    EXPECT_FALSE(page.Take(10, 30)) << "no height left";
    EXPECT_FALSE(page.Take(65, 1));
    EXPECT_FALSE(page.Take(0, 5));
}

TEST(AtlasPacking, FreedCellsAreTakenAgainAndAnEmptiedPageStartsOver) {
    TAtlasPacking page(32);
    const TAtlasCell a = page.Take(16, 16).value();
    const TAtlasCell b = page.Take(16, 16).value();
    (void)page.Take(32, 16).value();
    EXPECT_FALSE(page.Take(8, 8)) << "full";
    page.GiveBack(a);
    EXPECT_FALSE(page.Take(17, 16)) << "wider than the freed cell";
    EXPECT_EQ(page.Take(12, 14), a) << "the freed cell, whole";
    EXPECT_FALSE(page.Empty());
    page.GiveBack(a);
    page.GiveBack(b);
    EXPECT_FALSE(page.Empty());
    page.GiveBack(TAtlasCell{0, 16, 32, 16});
    EXPECT_TRUE(page.Empty());
    EXPECT_EQ(page.Take(32, 32), (TAtlasCell{0, 0, 32, 32})) << "the whole page again";
}

}  // namespace
}  // namespace qrv::testing
