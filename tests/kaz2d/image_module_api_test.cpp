#include <gtest/gtest.h>

#include <array>

#include "kaz2d/image_module.h"
#include "kaz2d/kaz2d_module.h"
#include "tests/kaz2d/kaz2d_window.h"

namespace qrv::testing {
namespace {

using ImageModule = Kaz2DWindow;

TEST_P(ImageModule, PlacedHandlesSizesAndOpenedPixelsReachTheScreen) {
    Ref<TImage> image = CreateBlankImage(24, 10, 2, 0);
    ASSERT_TRUE(image);
    EXPECT_EQ(WidthOfImage(image), 24);
    EXPECT_EQ(HeightOfImage(image), 10);
    EXPECT_EQ(WidthOfImage(nullptr), 0);
    EXPECT_EQ(OpenImagePixels(nullptr, 0, true, true), nullptr);
    EXPECT_EQ(OpenImagePixels(image, 2, true, true), nullptr) << "frame 2 of 2";

    OpenImagePixels(image, 1, false, true)->SetPixelARGB(0, 0, 0xFFFF0000);
    CloseImagePixels(image, 1);
    PlaceImageHandle(image, 4, 2);
    SetDrawColor(255, 255, 255);
    DrawImageAt(image, 100, 100, 1);
    EXPECT_EQ(PixelAt(96, 98), 0xFF0000u) << "the handle lands on the drawing position";

    // A write after the frame was drawn must reach the next draw, not the stale texture.
    OpenImagePixels(image, 1, true, true)->SetPixelARGB(0, 0, 0xFF00FF00);
    CloseImagePixels(image, 1);
    DrawImageAt(image, 100, 100, 1);
    EXPECT_EQ(PixelAt(96, 98), 0x00FF00u);
    EXPECT_EQ(OpenImagePixels(image, 1, true, false)->GetPixelARGB(0, 0), 0xFF00FF00u);
}

TEST_P(ImageModule, AutoCentringAndTheMaskColourApplyToImagesMadeLater) {
    EXPECT_FALSE(AutoCentreHandle());
    SetAutoCentreHandle(true);
    EXPECT_TRUE(AutoCentreHandle());
    Ref<TImage> centred = CreateBlankImage(8, 6, 1, 0);
    SetAutoCentreHandle(false);
    EXPECT_FALSE(AutoCentreHandle());
    EXPECT_EQ(centred->handleX, 4.0f);
    EXPECT_EQ(centred->handleY, 3.0f);

    Ref<TPixmap> rgb = NewPixmap(2, 1, FormatRGB888, 4);
    rgb->SetPixelARGB(0, 0, 0xFFFF00FF);
    rgb->SetPixelARGB(1, 0, 0xFF000000);
    SetImageMaskColor(255, 0, 255);
    int32_t r = 0, g = 0, b = 0;
    GetImageMaskColor(r, g, b);
    Ref<TImage> masked = LoadImageFromUrl(rgb, IMG_MASKED);
    SetImageMaskColor(0, 0, 0);
    EXPECT_EQ((std::array{r, g, b}), (std::array{255, 0, 255}));
    ASSERT_TRUE(masked);
    const Ref<TPixmap> pixels = OpenImagePixels(masked, 0, true, false);
    EXPECT_EQ(pixels->GetPixelARGB(0, 0) >> 24, 0u) << "magenta is the key now";
    EXPECT_EQ(pixels->GetPixelARGB(1, 0), 0xFF000000u) << "black is no longer keyed";
}

KAZ2D_TEST_ON_EACH_RENDERER(ImageModule);

}  // namespace
}  // namespace qrv::testing
