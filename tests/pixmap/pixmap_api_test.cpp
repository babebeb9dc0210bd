#include <gtest/gtest.h>

#include "pixmap/pixmap.h"

namespace qrv {
namespace {

// The capacity tells owned memory (its size in bytes) from a window on someone else's (-1).
TEST(PixmapModule, CapacityCountsOwnedBytesAndMarksWindows) {
    const Ref<TPixmap> owner = NewPixmap(3, 2, FormatRGB888, 4);
    EXPECT_EQ(PixmapCapacity(owner), 12 * 2) << "rows of 9 bytes padded to 12";
    EXPECT_EQ(PixmapCapacity(SubRegion(owner, 1, 0, 2, 2)), -1);
    uint8_t memory[16] = {};
    EXPECT_EQ(PixmapCapacity(WrapPixelMemory(memory, 2, 2, 8, FormatRGBA8888)), -1);
    EXPECT_EQ(PixmapCapacity(nullptr), 0);
}

}  // namespace
}  // namespace qrv
