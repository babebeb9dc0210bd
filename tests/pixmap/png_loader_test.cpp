#include "pixmap/png_loader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/text.h"
#include "pixmap/pixmap_module.h"
#include "pixmap/pixmap_save.h"
#include "pixmap/pixmap_transform.h"
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

// Pictures without alpha decoded straight to RGBA for a masked image and keyed as they are
// decoded give the pixels of keying the plainly decoded picture; pictures with alpha stay.
TEST_F(PngLoader, KeyedDecodingGivesThePixelsOfKeyingACopy) {
    InitPixmapModule();
    auto picture = [](int colorType, int bitDepth, int channels) {
        TPngPicture p;
        p.width = 21;
        p.height = 7;
        p.colorType = colorType;
        p.bitDepth = bitDepth;
        const int samplesPerByte = 8 / std::min(bitDepth, 8);
        const int rowBytes = (p.width * channels + samplesPerByte - 1) / samplesPerByte *
                             std::max(bitDepth / 8, 1);
        for (int y = 0; y < p.height; ++y) {
            Bytes row(static_cast<size_t>(rowBytes));
            for (int i = 0; i < rowBytes; ++i) row[i] = (i + y) % 5 == 0 ? 0 : uint8_t(i * 37 + y);
            p.rows.push_back(row);
        }
        return p;
    };
    std::vector<TPngPicture> pictures = {
        picture(PNG_COLOR_TYPE_GRAY, 8, 1), picture(PNG_COLOR_TYPE_GRAY, 2, 1),
        picture(PNG_COLOR_TYPE_RGB, 8, 3),  picture(PNG_COLOR_TYPE_RGB, 16, 3),
        picture(PNG_COLOR_TYPE_GRAY_ALPHA, 8, 2), picture(PNG_COLOR_TYPE_RGB_ALPHA, 8, 4),
    };
    TPngPicture greyKey = picture(PNG_COLOR_TYPE_GRAY, 8, 1);
    greyKey.hasTransparentColour = true;
    greyKey.transparentColour.gray = 37;
    pictures.push_back(greyKey);
    TPngPicture rgbKey = picture(PNG_COLOR_TYPE_RGB, 8, 3);
    rgbKey.hasTransparentColour = true;
    rgbKey.transparentColour.green = 37;
    rgbKey.transparentColour.blue = 74;
    pictures.push_back(rgbKey);
    for (int depth : {8, 4}) {
        // 200 colours, some pixels past them; with and without transparency; interlaced too.
        TPngPicture palette = picture(PNG_COLOR_TYPE_PALETTE, depth, 1);
        for (int i = 0; i < (depth == 8 ? 200 : 12); ++i)
            palette.palette.push_back({uint8_t(i * 3), uint8_t(i % 2 ? 0 : i), uint8_t(i / 2)});
        pictures.push_back(palette);
        palette.interlaced = true;
        pictures.push_back(palette);
        palette.interlaced = false;
        palette.transparency = {0, 128, 255, 7};
        pictures.push_back(palette);
    }
    for (size_t i = 0; i < pictures.size(); ++i) {
        const std::u16string path = folder.Path("picture" + std::to_string(i) + ".png");
        ASSERT_TRUE(WritePngPicture(path, pictures[i])) << "picture " << i;
        const Ref<TPixmap> plain = DecodePNG(path);
        ASSERT_TRUE(plain) << "picture " << i;
        const bool opaque = AlphaBits(plain->Format()) == 0;
        const Ref<TPixmap> expected = opaque ? KeyOutColor(plain, 0, 0, 0) : plain;

        bool keyed = false;
        const Ref<TPixmap> direct = PixmapFromUrlKeyed(MakeText(path), {0, 0, 0}, keyed);
        ASSERT_TRUE(direct) << "picture " << i;
        EXPECT_EQ(keyed, opaque) << "picture " << i;
        if (keyed) SpreadKeyedColours(*direct);
        ASSERT_EQ(direct->Format(), expected->Format()) << "picture " << i;
        for (int32_t y = 0; y < expected->Height(); ++y)
            for (int32_t x = 0; x < expected->Width(); ++x)
                ASSERT_EQ(direct->GetPixelARGB(x, y), expected->GetPixelARGB(x, y))
                    << "picture " << i << " at (" << x << ", " << y << ")";
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
