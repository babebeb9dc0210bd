// Which of SDL's video drivers are refused unless SDL_VIDEODRIVER asks for them.
#include <gtest/gtest.h>

#include "system/sdl/sdl_video.h"

namespace {

TEST(SDLVideo, OnlyTheDriversThatShowNothingAreInvisible) {
    EXPECT_TRUE(qrv::IsInvisibleVideoDriver("offscreen"));
    EXPECT_TRUE(qrv::IsInvisibleVideoDriver("dummy"));
    EXPECT_TRUE(qrv::IsInvisibleVideoDriver("Offscreen")) << "SDL matches names in any case";
    for (const char* visible : {"x11", "wayland", "kmsdrm", ""})
        EXPECT_FALSE(qrv::IsInvisibleVideoDriver(visible)) << visible;
}

TEST(SDLVideo, TheEnvironmentNamesADriverOnlyAsAWholeEntryOfItsList) {
    EXPECT_TRUE(qrv::VideoDriverListNames("offscreen", "offscreen"));
    EXPECT_TRUE(qrv::VideoDriverListNames("x11,offscreen", "offscreen"));
    EXPECT_TRUE(qrv::VideoDriverListNames("wayland, DUMMY", "dummy"));
    EXPECT_FALSE(qrv::VideoDriverListNames(nullptr, "offscreen")) << "unset";
    EXPECT_FALSE(qrv::VideoDriverListNames("", "offscreen"));
    EXPECT_FALSE(qrv::VideoDriverListNames("x11", "offscreen"));
    EXPECT_FALSE(qrv::VideoDriverListNames("offscreenx,dummyy", "offscreen")) << "no prefix match";
    EXPECT_FALSE(qrv::VideoDriverListNames("offscreenx,dummyy", "dummy"));
}

}  // namespace
