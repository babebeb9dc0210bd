#include "pixmap/pixmap_transform.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace qrv;

std::vector<uint8_t> BytesAt(const Ref<TPixmap>& pixmap, int32_t x, int32_t y) {
    const uint8_t* p = pixmap->PixelAddress(x, y);
    return {p, p + BytesPerPixel(pixmap->Format())};
}

// A pixmap whose pixel (x, y) has the colour 0xFF000000 + 16 * y + x.
Ref<TPixmap> NumberedPixmap(int32_t width, int32_t height, int32_t format) {
    Ref<TPixmap> pixmap = NewPixmap(width, height, format, 4);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) pixmap->SetPixelARGB(x, y, 0xFF000000u + 16 * y + x);
    return pixmap;
}

TEST(KeyOutColor, OnlyPixelAsKeyBecomesTransparentBlack) {
    Ref<TPixmap> one = NewPixmap(1, 1, FormatRGB888, 4);
    one->SetPixelARGB(0, 0, 0xFF102030);
    Ref<TPixmap> keyed = KeyOutColor(one, 0x10, 0x20, 0x30);
    ASSERT_TRUE(keyed);
    EXPECT_EQ(keyed->Format(), FormatRGBA8888);
    EXPECT_EQ(BytesAt(keyed, 0, 0), (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST(KeyOutColor, KeyedPixelsTakeTheirVisibleNeighboursAverage) {
    // Column 0 is keyed black; column 1 holds red 30 then red 61 (alpha 77 on the source).
    Ref<TPixmap> source = NewPixmap(2, 2, FormatRGBA8888, 4);
    source->SetPixelARGB(1, 0, 0x4D1E0000);
    source->SetPixelARGB(1, 1, 0x4D3D0000);
    Ref<TPixmap> keyed = KeyOutColor(source, 0, 0, 0);
    ASSERT_TRUE(keyed);
    // Both keyed pixels see both visible ones: (30 + 61) / 2 = 45.
    EXPECT_EQ(BytesAt(keyed, 0, 0), (std::vector<uint8_t>{45, 0, 0, 0}));
    EXPECT_EQ(BytesAt(keyed, 0, 1), (std::vector<uint8_t>{45, 0, 0, 0}));
    // Visible pixels become opaque, whatever alpha they had.
    EXPECT_EQ(BytesAt(keyed, 1, 0), (std::vector<uint8_t>{30, 0, 0, 255}));
    EXPECT_EQ(BytesAt(keyed, 1, 1), (std::vector<uint8_t>{61, 0, 0, 255}));
}

TEST(KeyOutColor, NeighbourhoodIsThreeByThree) {
    Ref<TPixmap> source = NewPixmap(4, 1, FormatGrey8, 4);
    std::vector<uint8_t> grey = {0, 0, 0, 90};
    std::copy(grey.begin(), grey.end(), source->Pixels());
    Ref<TPixmap> keyed = KeyOutColor(source, 0, 0, 0);
    ASSERT_TRUE(keyed);
    EXPECT_EQ(BytesAt(keyed, 1, 0), (std::vector<uint8_t>{0, 0, 0, 0}));  // two steps away
    EXPECT_EQ(BytesAt(keyed, 2, 0), (std::vector<uint8_t>{90, 90, 90, 0}));
    EXPECT_EQ(BytesAt(keyed, 3, 0), (std::vector<uint8_t>{90, 90, 90, 255}));
    EXPECT_FALSE(KeyOutColor(nullptr, 0, 0, 0));
}

TEST(Flip, HorizontalAndVerticalMirrorAWindow) {
    Ref<TPixmap> owner = NumberedPixmap(5, 4, FormatRGB888);
    Ref<TPixmap> window = owner->SubRegion(1, 1, 3, 2);

    Ref<TPixmap> horizontal = FlipHorizontal(window);
    ASSERT_TRUE(horizontal);
    EXPECT_EQ(horizontal->Format(), FormatRGB888);
    EXPECT_EQ(horizontal->Capacity(), horizontal->Pitch() * 2);
    Ref<TPixmap> vertical = FlipVertical(window);
    ASSERT_TRUE(vertical);
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 0; x < 3; ++x) {
            EXPECT_EQ(horizontal->GetPixelARGB(x, y), window->GetPixelARGB(2 - x, y));
            EXPECT_EQ(vertical->GetPixelARGB(x, y), window->GetPixelARGB(x, 1 - y));
        }
    }
    EXPECT_FALSE(FlipHorizontal(nullptr));
    EXPECT_FALSE(FlipVertical(nullptr));
}

TEST(ResampleBilinear, OnePixelGrowsIntoCopies) {
    Ref<TPixmap> one = NewPixmap(1, 1, FormatRGBA8888, 4);
    one->SetPixelARGB(0, 0, 0x80C04020);
    Ref<TPixmap> big = ResampleBilinear(one, 4, 4);
    ASSERT_TRUE(big);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(big->GetPixelARGB(x, y), 0x80C04020u);
}

TEST(ResampleBilinear, TwoPixelsStretchWithClampedEnds) {
    Ref<TPixmap> pair = NewPixmap(2, 1, FormatRGB888, 4);
    pair->SetPixelARGB(0, 0, 0xFF000000);
    pair->SetPixelARGB(1, 0, 0xFFFFFFFF);
    Ref<TPixmap> wide = ResampleBilinear(pair, 4, 1);
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->Format(), FormatRGB888);  // back in the source's format
    const uint8_t expected[] = {0, 63, 191, 255};
    for (int32_t x = 0; x < 4; ++x)
        EXPECT_EQ(BytesAt(wide, x, 0), std::vector<uint8_t>(3, expected[x])) << "column " << x;
}

TEST(ResampleBilinear, ShrinkingBlendsRowsAndColumns) {
    Ref<TPixmap> square = NewPixmap(2, 2, FormatGrey8, 4);
    square->PixelAddress(0, 0)[0] = 0;
    square->PixelAddress(1, 0)[0] = 100;
    square->PixelAddress(0, 1)[0] = 200;
    square->PixelAddress(1, 1)[0] = 40;
    Ref<TPixmap> one = ResampleBilinear(square, 1, 1);
    ASSERT_TRUE(one);
    // top 50, bottom 120, halfway between them 85.
    EXPECT_EQ(one->Pixels()[0], 85);
}

TEST(ResampleBilinear, RefusesEmptySizes) {
    Ref<TPixmap> pixmap = NewPixmap(2, 2, FormatRGB888, 4);
    EXPECT_FALSE(ResampleBilinear(pixmap, 0, 4));
    EXPECT_FALSE(ResampleBilinear(pixmap, 4, -1));
    EXPECT_FALSE(ResampleBilinear(NewPixmap(0, 3, FormatRGB888, 4), 2, 2));
    EXPECT_FALSE(ResampleBilinear(nullptr, 2, 2));
}

}  // namespace
