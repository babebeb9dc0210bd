// Opaque frames and plain fills at full alpha are sent without blending: the pixels must be
// exactly those that blending gives.
#include <SDL_opengl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "kaz2d/glfixed/glfixed_image_frame.h"
#include "kaz2d/glshader/glshader_image_frame.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/image_module.h"
#include "kaz2d/kaz2d_module.h"
#include "tests/kaz2d/kaz2d_window.h"

namespace qrv::testing {
namespace {

using OpaqueDraws = Kaz2DWindow;

// Colours that vary from texel to texel, so that any filtering shows; alpha 255 everywhere.
Ref<TPixmap> OpaquePicture(int32_t w, int32_t h) {
    Ref<TPixmap> pixmap = NewPixmap(w, h, FormatRGBA8888, 4);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            pixmap->SetPixelARGB(x, y, 0xFF000000u | uint32_t(x * 29 % 256) << 16 |
                                           uint32_t(y * 53 % 256) << 8 | uint32_t((x * y) % 256));
    return pixmap;
}

// The same picture with its top left texel just short of opaque: drawn the ordinary way.
Ref<TPixmap> NearlyOpaqueTwin(int32_t w, int32_t h) {
    Ref<TPixmap> pixmap = OpaquePicture(w, h);
    pixmap->SetPixelARGB(0, 0, pixmap->GetPixelARGB(0, 0) & 0xFEFFFFFFu);
    return pixmap;
}

bool FrameOpaque(const Ref<TImage>& image) {
    const Ref<TImageFrame> frame = image->Frame(0);
    if (const auto fixed = std::dynamic_pointer_cast<TGLImageFrame>(frame)) return fixed->Opaque();
    if (const auto shader = std::dynamic_pointer_cast<TGLShaderImageFrame>(frame)) return shader->Opaque();
    ADD_FAILURE() << "no OpenGL frame";
    return false;
}

struct TPlacement {
    float x, y, degrees, scale;
};

// Where the picture is drawn: plainly, turned and enlarged, reduced.
const std::vector<TPlacement> kPlacements{
    {10, 10, 0, 1}, {260, 30, 30, 1.7f}, {40, 300, 0, 0.6f}, {300, 330, -75, 1.25f}};

// Over a pattern, the picture at every placement: alpha blending, white and tinted, and the
// mask blend.
Ref<TPixmap> DrawnScene(const Ref<TImage>& image) {
    DrawPixmapAt(NearlyOpaqueTwin(512, 512), 0, 0);
    SetDrawAlpha(1.0f);
    for (size_t i = 0; i < kPlacements.size(); ++i) {
        const TPlacement& at = kPlacements[i];
        SetBlendMode(i == 3 ? BLEND_MASK : BLEND_ALPHA);
        if (i % 2 == 1) SetDrawColor(200, 120, 60);
        SetDrawTransform(at.degrees, at.scale, at.scale);
        DrawImageAt(image, at.x, at.y, 0);
        SetDrawTransform(0, 1, 1);
        SetDrawColor(255, 255, 255);
    }
    return GrabPixmapRect(0, 0, 512, 512);
}

TEST_P(OpaqueDraws, FramesKnowWhetherEverySampledTexelIsOpaque) {
    EXPECT_TRUE(FrameOpaque(TImage::Load(OpaquePicture(61, 47), IMG_FILTERED, 0, 0, 0)))
        << "padding repeats the edge texels, which are opaque";
    EXPECT_FALSE(FrameOpaque(TImage::Load(NearlyOpaqueTwin(61, 47), IMG_FILTERED, 0, 0, 0)));
    EXPECT_TRUE(FrameOpaque(TImage::Load(NewPixmap(5, 3, FormatRGB888, 4), 0, 0, 0, 0)))
        << "a picture without alpha";
    EXPECT_FALSE(FrameOpaque(TImage::Load(OpaquePicture(64, 32), IMG_MIPMAPPED, 0, 0, 0)))
        << "resampled mipmap levels are not vouched for";
}

TEST_P(OpaqueDraws, AnOpaquePictureUnblendedLooksExactlyAsBlended) {
    const Ref<TImage> opaque = TImage::Load(OpaquePicture(61, 47), IMG_FILTERED, 0, 0, 0);
    const Ref<TImage> twin = TImage::Load(NearlyOpaqueTwin(61, 47), IMG_FILTERED, 0, 0, 0);
    const Ref<TPixmap> unblended = DrawnScene(opaque);
    const Ref<TPixmap> blended = DrawnScene(twin);
    ASSERT_TRUE(unblended && blended);
    // Only around each picture's top left corner, where the twin's texel differs, may they part.
    const auto nearCorner = [](int32_t x, int32_t y) {
        for (const TPlacement& at : kPlacements)
            if (std::abs(x - static_cast<int32_t>(at.x)) <= 5 && std::abs(y - static_cast<int32_t>(at.y)) <= 5)
                return true;
        return false;
    };
    int32_t differing = 0;
    for (int32_t y = 0; y < 512; ++y)
        for (int32_t x = 0; x < 512; ++x)
            if (!nearCorner(x, y) && unblended->GetPixelARGB(x, y) != blended->GetPixelARGB(x, y))
                ++differing;
    EXPECT_EQ(differing, 0);
}

TEST_P(OpaqueDraws, TheShaderRendererSendsOpaqueDrawsUnblended) {
    if (FixedFunction()) GTEST_SKIP() << "the fixed-function renderer restores blending after each draw";
    const Ref<TImage> opaque = TImage::Load(OpaquePicture(8, 8), 0, 0, 0, 0);
    const Ref<TImage> twin = TImage::Load(NearlyOpaqueTwin(8, 8), 0, 0, 0, 0);
    SetBlendMode(BLEND_ALPHA);
    DrawImageAt(opaque, 0, 0, 0);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    DrawImageAt(twin, 0, 0, 0);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    SetDrawAlpha(0.5f);
    DrawImageAt(opaque, 0, 0, 0);
    EXPECT_TRUE(glIsEnabled(GL_BLEND)) << "below full alpha the picture is blended";
}

TEST_P(OpaqueDraws, AFillAtFullAlphaReplacesThePixelsBelow) {
    DrawPixmapAt(NearlyOpaqueTwin(64, 64), 0, 0);
    SetBlendMode(BLEND_ALPHA);
    SetDrawColor(12, 200, 99);
    FillRect(0, 0, 64, 64);
    ExpectScreenMatches(0, 0, SolidPixmap(64, 64, 0xFF0CC863));
}

KAZ2D_TEST_ON_EACH_RENDERER(OpaqueDraws);

}  // namespace
}  // namespace qrv::testing
