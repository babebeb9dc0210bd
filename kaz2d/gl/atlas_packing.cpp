#include "kaz2d/gl/atlas_packing.h"

namespace qrv {

namespace {

// A shelf takes cells up to a quarter lower than itself, so that one tall cell does not
// give every later low cell a tall slot.
bool ShelfSuits(int32_t shelfHeight, int32_t height) {
    return height <= shelfHeight && height * 4 >= shelfHeight * 3;
}

}  // namespace

std::optional<TAtlasCell> TAtlasPacking::Take(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0 || width > side || height > side) return std::nullopt;
    std::optional<TAtlasCell> cell = TakeGivenBack(width, height);
    if (!cell) cell = TakeFromShelves(width, height);
    if (cell) ++taken;
    return cell;
}

void TAtlasPacking::GiveBack(const TAtlasCell& cell) {
    givenBack.push_back(cell);
    --taken;
    if (taken > 0) return;
    // Nothing is left on the page: it starts over empty.
    shelves.clear();
    givenBack.clear();
}

std::optional<TAtlasCell> TAtlasPacking::TakeGivenBack(int32_t width, int32_t height) {
    for (auto it = givenBack.begin(); it != givenBack.end(); ++it) {
        if (it->width < width || !ShelfSuits(it->height, height)) continue;
        const TAtlasCell cell = *it;
        givenBack.erase(it);
        return cell;
    }
    return std::nullopt;
}

std::optional<TAtlasCell> TAtlasPacking::TakeFromShelves(int32_t width, int32_t height) {
    for (TShelf& shelf : shelves) {
        if (!ShelfSuits(shelf.height, height) || side - shelf.used < width) continue;
        const TAtlasCell cell{shelf.used, shelf.y, width, shelf.height};
        shelf.used += width;
        return cell;
    }
    const int32_t top = shelves.empty() ? 0 : shelves.back().y + shelves.back().height;
    if (side - top < height) return std::nullopt;
    shelves.push_back({top, height, width});
    return TAtlasCell{0, top, width, height};
}

}  // namespace qrv
