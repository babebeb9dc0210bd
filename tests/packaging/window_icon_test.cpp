#include <gtest/gtest.h>

#include <cstdlib>

#include "game/resources.h"
#include "game/startup.h"
#include "game/window_icon.h"
#include "pixmap/pixel_format.h"
#include "pixmap/pixmap_loader.h"

namespace zorvak {
namespace {

TEST(WindowIcon, IsTheFaceOfTheDesktopIcon) {
    RegisterGameFiles();
    InitGameModules();
    const qrv::Ref<qrv::TPixmap> icon = MakeWindowIcon(48);
    ASSERT_TRUE(icon);
    ASSERT_EQ(icon->Format(), qrv::FormatRGBA8888);
    ASSERT_EQ(icon->Width(), 48);
    ASSERT_EQ(icon->Height(), 48);
    const qrv::Ref<qrv::TPixmap> desktop =
        qrv::ConvertedTo(qrv::PixmapFromUrl(u"" ZORVAK_ICON_48), qrv::FormatRGBA8888);
    ASSERT_TRUE(desktop) << ZORVAK_ICON_48;

    // The two are resampled differently (bilinear here, a wider filter in the asset tool), so
    // they agree closely on average, not pixel for pixel; the square shifted by four pixels
    // of the portrait is already about 6 levels off.
    long difference = 0;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 48; ++x) {
            for (int channel = 0; channel < 4; ++channel)
                difference += std::abs(icon->PixelAddress(x, y)[channel] -
                                       desktop->PixelAddress(x, y)[channel]);
        }
    }
    const double mean = static_cast<double>(difference) / (48.0 * 48.0 * 4.0);
    EXPECT_LT(mean, 4.0);
}

}  // namespace
}  // namespace zorvak
