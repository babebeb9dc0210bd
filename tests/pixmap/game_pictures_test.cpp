// The game's own pictures, decoded through the loader chain as the game loads them.
#include <gtest/gtest.h>

#include "core/text.h"
#include "pixmap/pixmap_loader.h"
#include "pixmap/pixmap_module.h"
#include "pixmap/pixmap_transform.h"

namespace {

using namespace qrv;

struct TExpectedPicture {
    const char* name;
    int32_t width;
    int32_t height;
    int32_t format;
};

Ref<TPixmap> GamePicture(const char* name) {
    return PixmapFromUrl(FromUtf8(std::string(ZORVAK_ASSETS) + "/" + name));
}

// FNV-1a over the size, the format and every row's pixel bytes (padding left out).
uint64_t PixelHash(const TPixmap& pixmap) {
    uint64_t hash = 14695981039346656037ull;
    auto mix = [&hash](uint8_t byte) { hash = (hash ^ byte) * 1099511628211ull; };
    for (int32_t value : {pixmap.Width(), pixmap.Height(), pixmap.Format()})
        for (int shift = 0; shift < 32; shift += 8) mix(static_cast<uint8_t>(value >> shift));
    const size_t rowBytes = static_cast<size_t>(pixmap.Width()) * BytesPerPixel(pixmap.Format());
    for (int32_t y = 0; y < pixmap.Height(); ++y) {
        const uint8_t* row = pixmap.PixelAddress(0, y);
        for (size_t i = 0; i < rowBytes; ++i) mix(row[i]);
    }
    return hash;
}

TEST(GamePictures, EveryPictureDecodesWithItsSizeAndFormat) {
    InitPixmapModule();
    const TExpectedPicture pictures[] = {
        {"fail.jpg", 400, 226, FormatRGB888},  // progressive, three components
        {"win.jpg", 400, 226, FormatRGB888},
        {"back.jpg", 512, 512, FormatRGB888},
        {"s0.png", 512, 512, FormatRGB888},    // palette without transparency
        {"but1.png", 185, 53, FormatRGB888},
        {"e0.png", 78, 46, FormatRGBA8888},
        {"tgame.png", 512, 512, FormatRGBA8888},
    };
    for (const TExpectedPicture& expected : pictures) {
        Ref<TPixmap> pixmap = GamePicture(expected.name);
        ASSERT_TRUE(pixmap) << expected.name;
        EXPECT_EQ(pixmap->Width(), expected.width) << expected.name;
        EXPECT_EQ(pixmap->Height(), expected.height) << expected.name;
        EXPECT_EQ(pixmap->Format(), expected.format) << expected.name;
        EXPECT_EQ(pixmap->Pitch(), (expected.width * BytesPerPixel(expected.format) + 3) / 4 * 4)
            << expected.name;
    }
}

struct TPictureHashes {
    const char* name;
    uint64_t decoded;  // the pixmap the loaders give
    uint64_t keyed;    // black keyed out of a picture without alpha, as a masked image does
};

// Hashes recorded from the decoders as first written (for help.jpg, s1.png and tgame.png, from
// their redrawn versions, also decoded by the first decoders): any change to a decoder or to the
// key-out must give every game picture the very same pixels.
TEST(GamePictures, EveryPictureDecodesAndKeysOutToTheRecordedPixels) {
    InitPixmapModule();
    const TPictureHashes pictures[] = {
        {"back.jpg", 0x23da63feea33c6d8u, 0x0963c0764c45a42eu},
        {"help.jpg", 0x9ec03da7d63d640au, 0x87956324dc02ab72u},
        {"but1.png", 0xd0ecf4dd2eb7f058u, 0xb0e51749aa4bc17du},
        {"e0.png", 0x36b40361cfdd80e5u, 0x36b40361cfdd80e5u},
        {"e1.png", 0x3df92e95d6ef4ed0u, 0x3df92e95d6ef4ed0u},
        {"e2.png", 0x04da409c4a3c78cau, 0x04da409c4a3c78cau},
        {"s0.png", 0x7b06e2d8d1b1f1c2u, 0x993fc02419fd364cu},
        {"s1.png", 0xd6017c1e78faf961u, 0x0be5868f98448317u},
        {"s2.png", 0xc46a3d68b73d5e21u, 0x4df7ff90e13b20b9u},
        {"s3.png", 0xfe7c4b3d7e02ee5bu, 0x54898ab3db37415du},
        {"s4.png", 0x7622d611723f84b8u, 0x2affc890c1df1792u},
        {"s5.png", 0xdba730ba1b8bb118u, 0xa47203968ced2178u},
        {"s6.png", 0xcb4506f107ffec99u, 0xaa8d30ff9f066d1bu},
        {"tgame.png", 0x53543ea2d06bb953u, 0x53543ea2d06bb953u},
        {"win.jpg", 0xfb73f2fed52b102au, 0x5f483d253f928630u},
        {"fail.jpg", 0x7f6617c4bbeb168au, 0x8d8686c3052265f4u},
        {"point.png", 0xb7d71bef572bb144u, 0xb7d71bef572bb144u},
    };
    for (const TPictureHashes& expected : pictures) {
        Ref<TPixmap> pixmap = GamePicture(expected.name);
        ASSERT_TRUE(pixmap) << expected.name;
        const uint64_t decoded = PixelHash(*pixmap);
        Ref<TPixmap> keyed = AlphaBits(pixmap->Format()) ? pixmap : KeyOutColor(pixmap, 0, 0, 0);
        ASSERT_TRUE(keyed) << expected.name;
        const uint64_t keyedHash = PixelHash(*keyed);
        EXPECT_EQ(decoded, expected.decoded) << expected.name;
        EXPECT_EQ(keyedHash, expected.keyed) << expected.name;

        // A masked image decodes opaque pictures straight to RGBA, keyed as they are decoded.
        bool keyedWhileDecoding = false;
        const std::string path = std::string(ZORVAK_ASSETS) + "/" + expected.name;
        Ref<TPixmap> direct =
            PixmapFromUrlKeyed(MakeText(FromUtf8(path)), {0, 0, 0}, keyedWhileDecoding);
        ASSERT_TRUE(direct) << expected.name;
        EXPECT_EQ(keyedWhileDecoding, AlphaBits(pixmap->Format()) == 0) << expected.name;
        if (keyedWhileDecoding) SpreadKeyedColours(*direct);
        EXPECT_EQ(PixelHash(*direct), expected.keyed) << expected.name;
    }
}

}  // namespace
