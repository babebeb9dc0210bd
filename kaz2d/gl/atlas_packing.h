#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace qrv {

// A rectangle of an atlas page, in texels.
struct TAtlasCell {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const TAtlasCell&) const = default;
};

// Where the cells of one square page go: in shelves, rows as high as the first cell put on
// them and filled from the left. A cell given back is taken again whole by the next request
// it holds, so a page whose frames come and go (glyphs of fonts opened and closed) does not
// fill up with holes.
class TAtlasPacking {
public:
    explicit TAtlasPacking(int32_t side) : side(side) {}

    // A cell of at least width x height; none when the page has no room for it.
    [[nodiscard]] std::optional<TAtlasCell> Take(int32_t width, int32_t height);
    // Makes a cell Take gave free again.
    void GiveBack(const TAtlasCell& cell);
    // Whether every cell taken has been given back.
    [[nodiscard]] bool Empty() const { return taken == 0; }

private:
    struct TShelf {
        int32_t y;
        int32_t height;
        int32_t used;  // width filled from the left
    };

    std::optional<TAtlasCell> TakeGivenBack(int32_t width, int32_t height);
    std::optional<TAtlasCell> TakeFromShelves(int32_t width, int32_t height);

    int32_t side;
    std::vector<TShelf> shelves;
    std::vector<TAtlasCell> givenBack;
    int32_t taken = 0;
};

}  // namespace qrv
