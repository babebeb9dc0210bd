#include "pixmap/png_loader.h"

#include <gtest/gtest.h>

#include "pixmap/pixmap_save.h"
#include "test_files.h"

namespace {

using namespace qrv;
using namespace pixmap_test;

class PngLoader : public ::testing::Test {
protected:
    // Writes the picture, decodes it with the PNG loader and checks the size.
    Ref<TPixmap> RoundTrip(const TPngPicture& picture) {
        std::u16string path = folder.Path("picture.png");
        EXPECT_TRUE(WritePngPicture(path, picture));
        Ref<TPixmap> pixmap = DecodePNG(path);
        if (pixmap) {
            EXPECT_EQ(pixmap->Width(), picture.width);
            EXPECT_EQ(pixmap->Height(), picture.height);
        }
        return pixmap;
    }

    TTempFolder folder;
};

TPngPicture PalettePicture() {
    TPngPicture picture;
    picture.width = 3;
    picture.height = 1;
    picture.colorType = PNG_COLOR_TYPE_PALETTE;
    picture.palette = {{255, 0, 0}, {0, 255, 0}, {10, 20, 30}};
    picture.rows = {{2, 0, 1}};
    return picture;
}

TEST_F(PngLoader, PaletteWithoutTransparencyGivesRGB) {
    Ref<TPixmap> pixmap = RoundTrip(PalettePicture());
    ASSERT_TRUE(pixmap);
    EXPECT_EQ(pixmap->Format(), FormatRGB888);
    EXPECT_EQ(pixmap->GetPixelARGB(0, 0), 0xFF0A141Eu);
    EXPECT_EQ(pixmap->GetPixelARGB(1, 0), 0xFFFF0000u);
    EXPECT_EQ(pixmap->GetPixelARGB(2, 0), 0xFF00FF00u);
}

TEST_F(PngLoader, PaletteWithTransparencyGivesRGBA) {
    TPngPicture picture = PalettePicture();
    picture.transparency = {0, 128};  // entry 2 stays opaque
    Ref<TPixmap> pixmap = RoundTrip(picture);
    ASSERT_TRUE(pixmap);
    EXPECT_EQ(pixmap->Format(), FormatRGBA8888);
    EXPECT_EQ(pixmap->GetPixelARGB(0, 0), 0xFF0A141Eu);
    EXPECT_EQ(pixmap->GetPixelARGB(1, 0), 0x00FF0000u);
    EXPECT_EQ(pixmap->GetPixelARGB(2, 0), 0x8000FF00u);
}

TEST_F(PngLoader, SixteenBitRGBKeepsTheHighBytes) {
    TPngPicture picture;
    picture.width = 2;
    picture.height = 1;
    picture.bitDepth = 16;
    picture.rows = {{0x12, 0xFF, 0x34, 0x00, 0x56, 0x80, 0xFF, 0xFF, 0x00, 0x01, 0x7F, 0xFF}};
    Ref<TPixmap> pixmap = RoundTrip(picture);
    ASSERT_TRUE(pixmap);
    EXPECT_EQ(pixmap->Format(), FormatRGB888);
    EXPECT_EQ(pixmap->GetPixelARGB(0, 0), 0xFF123456u);
    EXPECT_EQ(pixmap->GetPixelARGB(1, 0), 0xFFFF007Fu);
}

TEST_F(PngLoader, GreyWithAlphaSpreadsIntoRGBA) {
    TPngPicture picture;
    picture.width = 2;
    picture.height = 2;
    picture.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
    picture.rows = {{200, 50, 1, 2}, {3, 4, 5, 6}};
    Ref<TPixmap> pixmap = RoundTrip(picture);
    ASSERT_TRUE(pixmap);
    EXPECT_EQ(pixmap->Format(), FormatRGBA8888);
    const uint8_t* first = pixmap->PixelAddress(0, 0);
    EXPECT_EQ(Bytes(first, first + 4), (Bytes{200, 200, 200, 50}));
    EXPECT_EQ(pixmap->GetPixelARGB(1, 1), 0x06050505u);
}

TEST_F(PngLoader, SmallGreyDepthsAndInterlacingExpandToEightBits) {
    TPngPicture picture;
    picture.width = 9;
    picture.height = 9;
    picture.bitDepth = 1;
    picture.colorType = PNG_COLOR_TYPE_GRAY;
    picture.interlaced = true;
    for (int y = 0; y < 9; ++y) picture.rows.push_back({static_cast<uint8_t>(y % 2 ? 0xAA : 0x55), 0x80});
    Ref<TPixmap> pixmap = RoundTrip(picture);
    ASSERT_TRUE(pixmap);
    EXPECT_EQ(pixmap->Format(), FormatGrey8);
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 9; ++x) {
            bool set = x == 8 ? true : ((y % 2 ? 0xAA : 0x55) >> (7 - x)) & 1;
            EXPECT_EQ(*pixmap->PixelAddress(x, y), set ? 255 : 0) << x << ", " << y;
        }
    }
}

TEST_F(PngLoader, SavedPixmapsComeBackExactly) {
    // An RGBA window with an odd pitch, a BGR pixmap (saved as RGB) and a grey one.
    Ref<TPixmap> owner = NewPixmap(7, 5, FormatRGBA8888, 4);
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 7; ++x) owner->SetPixelARGB(x, y, 0x01020304u * (x + 7 * y + 1));
    Ref<TPixmap> window = owner->SubRegion(1, 1, 5, 3);
    Ref<TPixmap> bgr = window->ConvertedTo(FormatBGR888);
    Ref<TPixmap> grey = window->ConvertedTo(FormatGrey8);

    struct Case {
        Ref<TPixmap> saved;
        int32_t loadedFormat;
    };
    for (const Case& c : {Case{window, FormatRGBA8888}, Case{bgr, FormatRGB888},
                          Case{grey, FormatGrey8}}) {
        std::u16string path = folder.Path("saved.png");
        ASSERT_TRUE(SavePixmapPNG(c.saved, path, 9));
        Ref<TPixmap> loaded = DecodePNG(path);
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->Format(), c.loadedFormat);
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 5; ++x)
                ASSERT_EQ(loaded->GetPixelARGB(x, y), c.saved->GetPixelARGB(x, y)) << x << ", " << y;
    }
}

TEST_F(PngLoader, RefusesWhatIsNotAPng) {
    std::u16string empty = folder.Path("empty.png");
    WriteFileBytes(empty, {});
    EXPECT_FALSE(DecodePNG(empty));

    std::u16string text = folder.Path("text.png");
    WriteFileBytes(text, {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g', '!'});
    EXPECT_FALSE(DecodePNG(text));
    EXPECT_FALSE(DecodePNG(folder.Path("missing.png")));
}

}  // namespace
