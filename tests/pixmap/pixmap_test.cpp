#include "pixmap/pixmap.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace qrv;

TEST(Pixmap, NewPixmapRoundsThePitchUpToTheAlignment) {
    Ref<TPixmap> rgb = NewPixmap(5, 2, FormatRGB888, 4);
    ASSERT_TRUE(rgb);
    EXPECT_EQ(rgb->Pitch(), 16);
    EXPECT_EQ(rgb->Capacity(), 32);
    EXPECT_EQ(rgb->Parent(), nullptr);

    Ref<TPixmap> wide = NewPixmap(768, 16, FormatRGBA8888, 4);
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->Pitch(), 3072);

    Ref<TPixmap> unaligned = NewPixmap(5, 2, FormatRGB888, 1);
    ASSERT_TRUE(unaligned);
    EXPECT_EQ(unaligned->Pitch(), 15);
}

TEST(Pixmap, NewPixmapRefusesBadArguments) {
    EXPECT_FALSE(NewPixmap(-1, 4, FormatGrey8, 4));
    EXPECT_FALSE(NewPixmap(4, -1, FormatGrey8, 4));
    EXPECT_FALSE(NewPixmap(4, 4, FormatNone, 4));
    EXPECT_FALSE(NewPixmap(4, 4, 13, 4));
    // 32768 x 16384 x 4 is 2^31: one byte over the limit even for a one-byte format.
    EXPECT_FALSE(NewPixmap(32768, 16384, FormatGrey8, 4));
    // Sides this large overflowed the 64-bit product before it was compared.
    EXPECT_FALSE(NewPixmap(INT32_MAX, INT32_MAX, FormatGrey8, 4));
    Ref<TPixmap> empty = NewPixmap(0, 0, FormatGrey8, 4);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->Capacity(), 0);
}

TEST(Pixmap, ARGBRoundTripsInRGBAAndBGRA) {
    const uint32_t halfRed = 0x80FF0000;
    Ref<TPixmap> rgba = NewPixmap(2, 2, FormatRGBA8888, 4);
    rgba->SetPixelARGB(1, 1, halfRed);
    const uint8_t* p = rgba->PixelAddress(1, 1);
    EXPECT_EQ(std::vector<uint8_t>(p, p + 4), (std::vector<uint8_t>{255, 0, 0, 128}));
    EXPECT_EQ(rgba->GetPixelARGB(1, 1), halfRed);

    Ref<TPixmap> bgra = NewPixmap(2, 2, FormatBGRA8888, 4);
    bgra->SetPixelARGB(0, 1, halfRed);
    p = bgra->PixelAddress(0, 1);
    EXPECT_EQ(std::vector<uint8_t>(p, p + 4), (std::vector<uint8_t>{0, 0, 255, 128}));
    EXPECT_EQ(bgra->GetPixelARGB(0, 1), halfRed);

    for (int32_t format : {FormatRGB888, FormatBGR888}) {
        Ref<TPixmap> opaque = NewPixmap(1, 1, format, 4);
        opaque->SetPixelARGB(0, 0, 0x00102030);
        EXPECT_EQ(opaque->GetPixelARGB(0, 0), 0xFF102030u) << "format " << format;
    }
}

TEST(Pixmap, GreyAndAlphaPixels) {
    Ref<TPixmap> grey = NewPixmap(1, 1, FormatGrey8, 4);
    grey->SetPixelARGB(0, 0, 0xFF102030);
    EXPECT_EQ(*grey->PixelAddress(0, 0), 32);  // (16 + 32 + 48) / 3
    EXPECT_EQ(grey->GetPixelARGB(0, 0), 0xFF202020u);

    Ref<TPixmap> alpha = NewPixmap(1, 1, FormatAlpha8, 4);
    *alpha->PixelAddress(0, 0) = 7;
    EXPECT_EQ(alpha->GetPixelARGB(0, 0), 0x07FFFFFFu);
    alpha->SetPixelARGB(0, 0, 0x42000000);
    EXPECT_EQ(*alpha->PixelAddress(0, 0), 0x42);

    Ref<TPixmap> red = NewPixmap(1, 1, FormatRed8, 4);
    *red->PixelAddress(0, 0) = 99;
    red->SetPixelARGB(0, 0, 0xFFFFFFFF);
    EXPECT_EQ(*red->PixelAddress(0, 0), 99);
    EXPECT_EQ(red->GetPixelARGB(0, 0), 0u);
}

TEST(Pixmap, PixelAccessOutsideThePixmapDoesNothing) {
    Ref<TPixmap> pixmap = NewPixmap(2, 2, FormatRGBA8888, 4);
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {2, 0}, {0, 2}}) {
        pixmap->SetPixelARGB(x, y, 0xFFFFFFFF);
        EXPECT_EQ(pixmap->GetPixelARGB(x, y), 0u);
    }
    for (int32_t i = 0; i < pixmap->Capacity(); ++i) EXPECT_EQ(pixmap->Pixels()[i], 0);
}

TEST(Pixmap, WindowsShareMemoryAndKeepTheOwnerAlive) {
    Ref<TPixmap> owner = NewPixmap(8, 6, FormatRGB888, 4);
    Ref<TPixmap> window = owner->SubRegion(2, 3, 4, 2);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->Capacity(), -1);
    EXPECT_EQ(window->Parent(), owner);
    EXPECT_EQ(window->Pitch(), owner->Pitch());
    EXPECT_EQ(window->Pixels(), owner->PixelAddress(2, 3));

    window->SetPixelARGB(1, 1, 0xFFABCDEF);
    EXPECT_EQ(owner->GetPixelARGB(3, 4), 0xFFABCDEFu);

    // The window of a window reaches the same memory; dropping every other reference to the
    // owner leaves it alive while a window stands.
    Ref<TPixmap> inner = window->SubRegion(1, 1, 1, 1);
    window.reset();
    owner.reset();
    EXPECT_EQ(inner->GetPixelARGB(0, 0), 0xFFABCDEFu);
}

TEST(Pixmap, SubRegionMustLieInside) {
    Ref<TPixmap> owner = NewPixmap(8, 6, FormatGrey8, 4);
    EXPECT_TRUE(owner->SubRegion(0, 0, 8, 6));
    EXPECT_TRUE(owner->SubRegion(8, 6, 0, 0));
    EXPECT_FALSE(owner->SubRegion(1, 0, 8, 6));
    EXPECT_FALSE(owner->SubRegion(-1, 0, 2, 2));
    EXPECT_FALSE(owner->SubRegion(0, 0, -1, 2));
    EXPECT_FALSE(owner->SubRegion(0, 5, 1, 2));
}

TEST(Pixmap, DuplicateOfAWindowCopiesOnlyItsPixels) {
    Ref<TPixmap> owner = NewPixmap(4, 4, FormatRGBA8888, 4);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 4; ++x) owner->SetPixelARGB(x, y, 0xFF000000u | (y * 4 + x));
    Ref<TPixmap> copy = owner->SubRegion(1, 2, 3, 2)->Duplicate();
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->Capacity(), 3 * 4 * 2);
    EXPECT_EQ(copy->Parent(), nullptr);
    EXPECT_EQ(copy->GetPixelARGB(0, 0), 0xFF000009u);
    EXPECT_EQ(copy->GetPixelARGB(2, 1), 0xFF00000Fu);
    copy->SetPixelARGB(0, 0, 0);
    EXPECT_EQ(owner->GetPixelARGB(1, 2), 0xFF000009u);
}

TEST(Pixmap, PasteConvertsAndClipsAtTheEdges) {
    Ref<TPixmap> source = NewPixmap(2, 2, FormatRGB888, 4);
    source->SetPixelARGB(0, 0, 0xFF0000FF);
    source->SetPixelARGB(1, 0, 0xFF00FF00);
    source->SetPixelARGB(0, 1, 0xFFFF0000);
    source->SetPixelARGB(1, 1, 0xFFFFFFFF);

    Ref<TPixmap> target = NewPixmap(3, 3, FormatBGRA8888, 4);
    target->PasteFrom(*source, 1, 1);
    EXPECT_EQ(target->GetPixelARGB(1, 1), 0xFF0000FFu);
    EXPECT_EQ(target->GetPixelARGB(2, 2), 0xFFFFFFFFu);
    EXPECT_EQ(target->GetPixelARGB(0, 0), 0u);

    Ref<TPixmap> clipped = NewPixmap(3, 3, FormatRGB888, 4);
    clipped->PasteFrom(*source, -1, 2);  // only source pixel (1, 0) lands, at (0, 2)
    EXPECT_EQ(clipped->GetPixelARGB(0, 2), 0xFF00FF00u);
    EXPECT_EQ(clipped->GetPixelARGB(1, 2), 0xFF000000u);
    clipped->PasteFrom(*source, 3, 0);   // entirely outside
    clipped->PasteFrom(*source, 0, -2);
    EXPECT_EQ(clipped->GetPixelARGB(0, 0), 0xFF000000u);
}


// A window pasted onto memory it shares reads its pixels as they were before the paste, in
// either direction and also within one row.
TEST(Pixmap, PasteOfAnOverlappingWindowCopiesAsFromASnapshot) {
    auto column = [](const Ref<TPixmap>& grey) {
        std::vector<uint8_t> values;
        for (int32_t y = 0; y < grey->Height(); ++y) values.push_back(*grey->PixelAddress(0, y));
        return values;
    };
    auto fresh = [] {
        Ref<TPixmap> grey = NewPixmap(1, 3, FormatGrey8, 4);
        for (int32_t y = 0; y < 3; ++y) *grey->PixelAddress(0, y) = static_cast<uint8_t>(y + 1);
        return grey;
    };
    Ref<TPixmap> down = fresh();
    down->PasteFrom(*down->SubRegion(0, 0, 1, 2), 0, 1);
    EXPECT_EQ(column(down), (std::vector<uint8_t>{1, 1, 2}));
    Ref<TPixmap> up = fresh();
    up->PasteFrom(*up->SubRegion(0, 1, 1, 2), 0, 0);
    EXPECT_EQ(column(up), (std::vector<uint8_t>{2, 3, 3}));

    // Within a row, through a conversion: grey pixels widened onto the RGB bytes they share.
    Ref<TPixmap> row = NewPixmap(6, 1, FormatGrey8, 4);
    for (int32_t x = 0; x < 6; ++x) *row->PixelAddress(x, 0) = static_cast<uint8_t>(10 * (x + 1));
    Ref<TPixmap> asRGB = WrapPixelMemory(row->Pixels(), 2, 1, 8, FormatRGB888);
    asRGB->PasteFrom(*row->SubRegion(0, 0, 2, 1), 0, 0);
    EXPECT_EQ(std::vector<uint8_t>(row->Pixels(), row->Pixels() + 6),
              (std::vector<uint8_t>{10, 10, 10, 20, 20, 20}));
}
TEST(Pixmap, ConvertedToGivesANewPixmapOfTheFormat) {
    Ref<TPixmap> grey = NewPixmap(3, 1, FormatGrey8, 1);
    grey->Pixels()[1] = 100;
    Ref<TPixmap> rgba = grey->ConvertedTo(FormatRGBA8888);
    ASSERT_TRUE(rgba);
    EXPECT_EQ(rgba->Format(), FormatRGBA8888);
    EXPECT_EQ(rgba->GetPixelARGB(1, 0), 0xFF646464u);
    EXPECT_FALSE(grey->ConvertedTo(0));
}

TEST(Pixmap, WrappedMemoryStaysTheCallers) {
    std::vector<uint8_t> memory(2 * 8, 0);
    {
        Ref<TPixmap> wrapped = WrapPixelMemory(memory.data(), 2, 2, 8, FormatRGB888);
        ASSERT_TRUE(wrapped);
        EXPECT_EQ(wrapped->Capacity(), -1);
        wrapped->SetPixelARGB(1, 1, 0xFF010203);
    }
    EXPECT_EQ(memory[8 + 3], 1);
    EXPECT_EQ(memory[8 + 5], 3);
    EXPECT_FALSE(WrapPixelMemory(nullptr, 2, 2, 8, FormatRGB888));
    EXPECT_FALSE(WrapPixelMemory(memory.data(), 3, 2, 8, FormatRGB888));  // pitch too short
}

TEST(Pixmap, ModuleLevelFormsForwardAndAcceptNone) {
    Ref<TPixmap> pixmap = NewPixmap(3, 2, FormatRGB888, 4);
    EXPECT_EQ(PixmapWidth(pixmap), 3);
    EXPECT_EQ(PixmapHeight(pixmap), 2);
    EXPECT_EQ(PixmapPitch(pixmap), 12);
    EXPECT_EQ(PixmapFormat(pixmap), FormatRGB888);
    EXPECT_EQ(PixelAddress(pixmap, 1, 1), PixmapPixels(pixmap) + 15);
    SetPixelARGB(pixmap, 2, 1, 0xFF123456);
    EXPECT_EQ(GetPixelARGB(pixmap, 2, 1), 0xFF123456u);
    EXPECT_EQ(PixmapParent(SubRegion(pixmap, 0, 0, 1, 1)), pixmap);

    Ref<TPixmap> none;
    EXPECT_EQ(PixmapWidth(none), 0);
    EXPECT_EQ(GetPixelARGB(none, 0, 0), 0u);
    EXPECT_FALSE(Duplicate(none));
    EXPECT_FALSE(ConvertedTo(none, FormatGrey8));
    PasteFrom(pixmap, none, 0, 0);
    PasteFrom(none, pixmap, 0, 0);
}

}  // namespace
