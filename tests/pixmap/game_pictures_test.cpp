// The game's own pictures, decoded through the loader chain as the game loads them.
#include <gtest/gtest.h>

#include "core/text.h"
#include "pixmap/pixmap_loader.h"
#include "pixmap/pixmap_module.h"

namespace {

using namespace qrv;

struct TExpectedPicture {
    const char* name;
    int32_t width;
    int32_t height;
    int32_t format;
};

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
        Ref<TPixmap> pixmap =
            PixmapFromUrl(FromUtf8(std::string(ZORVAK_ASSETS) + "/" + expected.name));
        ASSERT_TRUE(pixmap) << expected.name;
        EXPECT_EQ(pixmap->Width(), expected.width) << expected.name;
        EXPECT_EQ(pixmap->Height(), expected.height) << expected.name;
        EXPECT_EQ(pixmap->Format(), expected.format) << expected.name;
        EXPECT_EQ(pixmap->Pitch(), (expected.width * BytesPerPixel(expected.format) + 3) / 4 * 4)
            << expected.name;
    }
}

}  // namespace
