// A program that never calls InitFramework: the loads and opens that need the framework's
// modules give none and say so, and collisions, which need none of them, work.
#include <gtest/gtest.h>

#include <string>

#include "core/failure.h"
#include "core/text.h"
#include "kaz2d/collision.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/image.h"
#include "kaz2d/image_font.h"
#include "pixmap/pixmap_loader.h"
#include "stream/stream.h"
#include "stream/url_failure.h"

namespace qrv {
namespace {

const std::string kPicture = ZORVAK_ASSETS "/but1.png";
const std::string kNotInitialised(NOT_INITIALISED_CAUSE);

TEST(NotInitialised, LoadsAndOpensSayTheFrameworkIsNotInitialised) {
    EXPECT_EQ(OpenReadStream(u"incbin::b2.ttf"), nullptr);
    EXPECT_EQ(LastFailureUtf8(), "\"incbin::b2.ttf\": " + kNotInitialised);

    EXPECT_EQ(PixmapFromUrl(FromUtf8(kPicture)), nullptr);
    EXPECT_EQ(LastFailureUtf8(), "\"" + kPicture + "\": " + kNotInitialised);
    ClearLastFailure();
    EXPECT_EQ(TImage::Load(MakeText(FromUtf8(kPicture)), 0, 0, 0, 0), nullptr);
    EXPECT_EQ(LastFailureUtf8(), "\"" + kPicture + "\": " + kNotInitialised);

    EXPECT_EQ(TImageFont::FromUrl(u"b2.ttf", 18, 0), nullptr);
    EXPECT_EQ(LastFailureUtf8(), "\"b2.ttf\": " + kNotInitialised);

    EXPECT_EQ(OpenGraphicsWindow(320, 200, 0, 0, 0), nullptr);
    EXPECT_EQ(LastFailureUtf8(), "could not open graphics: " + kNotInitialised);

    // A file path needs no stream factory, so a file opens before the framework is set up.
    Ref<TStream> file = OpenReadStream(FromUtf8(kPicture));
    ASSERT_NE(file, nullptr);
    file->Close();
}

// Without a window shapes are placed as a new window would draw them, and the images' masks
// come from their pixmaps.
TEST(NotInitialised, CollisionsWorkWithoutAWindow) {
    const auto image = [](int32_t w, int32_t h, bool holeInTheMiddle) {
        Ref<TPixmap> pixmap = NewPixmap(w, h, FormatRGBA8888, 4);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                pixmap->SetPixelARGB(x, y, holeInTheMiddle && x == w / 2 ? 0x00FFFFFFu : 0xFFFFFFFFu);
        return TImage::Load(pixmap, 0, 0, 0, 0);
    };
    const Ref<TImage> bar = image(10, 2, true);
    const Ref<TImage> block = image(2, 2, false);
    const Ref<TObject> id = MakeText(u"bar");
    ResetCollisionLayers(0);
    (void)CollideImageAt(bar, 0, 0, 0, 0, 1, id);
    EXPECT_EQ(CollideRectAt(3, 1, 1, 1, 1, 0, nullptr), TCollisionIds{id});
    EXPECT_TRUE(CollideRectAt(5, 0, 1, 2, 1, 0, nullptr).empty()) << "the bar's transparent column";
    EXPECT_TRUE(CollideRectAt(10, 0, 3, 2, 1, 0, nullptr).empty()) << "right of the bar";

    // Turned a quarter, the bar stands left of its position, where the block lies.
    EXPECT_FALSE(ImagesOverlap(bar, 0, 0, 0, block, -2, 2, 0));
    EXPECT_TRUE(ImagesOverlapTransformed(bar, 0, 0, 0, 90, 1, 1, block, -2, 2, 0, 0, 1, 1));
    const Ref<TImage> line = image(2, 1, false);
    EXPECT_TRUE(ImagesOverlapTransformed(bar, 0, 0, 0, 90, 1, 1, line, -2, 4, 0, 0, 1, 1));
    EXPECT_FALSE(ImagesOverlapTransformed(bar, 0, 0, 0, 90, 1, 1, line, -2, 5, 0, 0, 1, 1))
        << "the turned bar's transparent row";
}

}  // namespace
}  // namespace qrv
