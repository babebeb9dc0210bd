#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "core/text.h"
#include "kaz2d/collision.h"
#include "kaz2d/image_module.h"
#include "kaz2d/kaz2d_graphics.h"
#include "kaz2d/kaz2d_module.h"
#include "tests/kaz2d/kaz2d_window.h"

namespace qrv::testing {
namespace {

// Collisions read the drawing matrix and origin of the current Kaz2D context, so every case
// runs with a real window.
class Collisions : public Kaz2DWindow {
protected:
    void SetUp() override {
        Kaz2DWindow::SetUp();
        ResetCollisionLayers(0);
    }

    // An RGBA image whose pixel (x, y) has the alpha the function gives.
    static Ref<TImage> AlphaImage(int32_t w, int32_t h, const std::function<uint32_t(int32_t, int32_t)>& alpha) {
        Ref<TPixmap> pixmap = NewPixmap(w, h, FormatRGBA8888, 4);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) pixmap->SetPixelARGB(x, y, alpha(x, y) << 24 | 0xFFFFFF);
        return TImage::Load(pixmap, 0, 0, 0, 0);
    }

    static Ref<TImage> PatternImage(int32_t w, int32_t h, const std::function<bool(int32_t, int32_t)>& solid) {
        return AlphaImage(w, h, [&](int32_t x, int32_t y) { return solid(x, y) ? 255u : 0u; });
    }

    static Ref<TImage> SolidImage(int32_t w, int32_t h) {
        return PatternImage(w, h, [](int32_t, int32_t) { return true; });
    }

    // Whether a w x h rectangle at (x, y) hits anything stored in layer 0.
    static bool Hits(float x, float y, float w = 1, float h = 1) {
        return !CollideRectAt(x, y, w, h, 1, 0, nullptr).empty();
    }

    // Which 1 x 1 probes of the window rectangle [x0, x0 + w) x [y0, y0 + h) hit layer 0.
    static std::vector<bool> HitMap(int32_t x0, int32_t y0, int32_t w, int32_t h) {
        std::vector<bool> map;
        for (int32_t y = y0; y < y0 + h; ++y)
            for (int32_t x = x0; x < x0 + w; ++x)
                map.push_back(Hits(static_cast<float>(x), static_cast<float>(y)));
        return map;
    }

    const Ref<TObject> a = MakeText(u"a");
    const Ref<TObject> b = MakeText(u"b");
};

using Ids = TCollisionIds;

TEST_P(Collisions, RectanglesTouchingAlongAnEdgeDoNotCollide) {
    EXPECT_TRUE(CollideRectAt(0, 0, 10, 10, 0, 1, a).empty()) << "nothing stored yet";
    EXPECT_TRUE(CollideRectAt(10, 0, 10, 10, 1, 0, b).empty()) << "right edge";
    EXPECT_TRUE(CollideRectAt(0, 10, 10, 10, 1, 0, b).empty()) << "bottom edge";
    EXPECT_TRUE(CollideRectAt(10, 10, 5, 5, 1, 0, b).empty()) << "corner";
    EXPECT_TRUE(CollideRectAt(-5, 0, 5, 10, 1, 0, b).empty()) << "left edge";
    EXPECT_EQ(CollideRectAt(9, 0, 10, 10, 1, 0, b), Ids{a}) << "one column of overlap";
    EXPECT_EQ(CollideRectAt(0, 9, 10, 10, 1, 0, b), Ids{a}) << "one row of overlap";
    EXPECT_EQ(CollideRectAt(9, 9, 5, 5, 1, 0, b), Ids{a}) << "one corner pixel";
    EXPECT_EQ(CollideRectAt(-5, -5, 6, 6, 1, 0, b), Ids{a});
}

TEST_P(Collisions, RectangleOfNegativeSizeCoversThePixelsOnTheOtherSide) {
    (void)CollideRectAt(20, 30, -10, -10, 0, 1, a);
    EXPECT_TRUE(Hits(10, 20) && Hits(19, 29));
    EXPECT_FALSE(Hits(9, 25) || Hits(20, 25) || Hits(15, 19) || Hits(15, 30));
    ResetCollisionLayers(0);
    (void)CollideRectAt(20, 0, -10, 10, 0, 1, a);  // mirrored: the other winding
    EXPECT_EQ(HitMap(5, 0, 20, 10), [] {
        std::vector<bool> expected;
        for (int y = 0; y < 10; ++y)
            for (int x = 5; x < 25; ++x) expected.push_back(x >= 10 && x < 20);
        return expected;
    }());
}

TEST_P(Collisions, TransparentPixelsDoNotCollide) {
    // Solid where alpha is at least one half: column 5 has 127, column 6 has 128.
    Ref<TImage> image = AlphaImage(20, 20, [](int32_t x, int32_t) { return x < 5 ? 255u : x == 5 ? 127u : x == 6 ? 128u : 0u; });
    (void)CollideImageAt(image, 100, 100, 0, 0, 1, a);
    EXPECT_TRUE(Hits(100, 100, 5, 20));
    EXPECT_FALSE(Hits(105, 100, 1, 20)) << "alpha 127";
    EXPECT_TRUE(Hits(106, 100, 1, 20)) << "alpha 128";
    EXPECT_FALSE(Hits(107, 100, 13, 20));
    EXPECT_FALSE(Hits(112, 90, 4, 40));

    // A blank image has a transparent pixmap; a pixmap without alpha is solid, black or not.
    EXPECT_TRUE(CollideImageAt(CreateBlankImage(50, 50, 1, 0), 90, 90, 0, 1, 0, b).empty());
    Ref<TImage> opaque = TImage::Load(NewPixmap(4, 4, FormatRGB888, 1), 0, 0, 0, 0);
    EXPECT_EQ(CollideImageAt(opaque, 103, 110, 0, 1, 0, b), Ids{a});
    EXPECT_TRUE(CollideImageAt(opaque, 108, 110, 0, 1, 0, b).empty());
}

TEST_P(Collisions, AlphaIsReadFromEveryFormatThatHasIt) {
    const uint8_t alphas[4] = {0, 255, 0, 200};
    for (int32_t format : {FormatAlpha8, FormatAlphaOnly8, FormatBGRA8888, FormatRGBA8888}) {
        ResetCollisionLayers(0);
        Ref<TPixmap> pixmap = NewPixmap(4, 1, format, 1);
        const int32_t size = BytesPerPixel(format);
        for (int32_t x = 0; x < 4; ++x) pixmap->PixelAddress(x, 0)[size - 1] = alphas[x];
        (void)CollideImageAt(TImage::Load(pixmap, IMG_MASKED, 0, 0, 0), 10, 10, 0, 0, 1, a);
        EXPECT_EQ(HitMap(10, 10, 4, 1), (std::vector<bool>{false, true, false, true})) << format;
    }
}

TEST_P(Collisions, ComplementaryCheckerboardsMeetOnlyWhenShiftedByAPixel) {
    Ref<TImage> even = PatternImage(16, 16, [](int32_t x, int32_t y) { return (x + y) % 2 == 0; });
    Ref<TImage> odd = PatternImage(16, 16, [](int32_t x, int32_t y) { return (x + y) % 2 == 1; });
    EXPECT_FALSE(ImagesOverlap(even, 40, 40, 0, odd, 40, 40, 0)) << "every pixel sampled at its centre";
    EXPECT_TRUE(ImagesOverlap(even, 40, 40, 0, odd, 41, 40, 0));
    EXPECT_TRUE(ImagesOverlap(even, 40, 40, 0, odd, 40, 55, 0)) << "one row in common";
    EXPECT_FALSE(ImagesOverlap(even, 40, 40, 0, odd, 40, 56, 0)) << "touching";
    EXPECT_TRUE(ImagesOverlap(even, 40, 40, 0, even, 40, 40, 0));
}

TEST_P(Collisions, ImageHandleAndDrawingOriginPlaceTheShape) {
    Ref<TImage> image = SolidImage(20, 20);
    CentreImageHandle(image);
    SetDrawOrigin(5, 7);
    (void)CollideImageAt(image, 50, 50, 0, 0, 1, a);  // covers x 45..65, y 47..67
    EXPECT_TRUE(Hits(40, 42)) << "probes take the origin too: (45, 49)";
    SetDrawOrigin(0, 0);
    EXPECT_TRUE(Hits(45, 47) && Hits(64, 66));
    EXPECT_FALSE(Hits(44, 50) || Hits(65, 50) || Hits(50, 46) || Hits(50, 67));

    SetDrawHandle(10, 10);
    EXPECT_FALSE(Hits(70, 70)) << "the drawing handle does not move collision shapes";
    EXPECT_TRUE(Hits(64, 66));
}

TEST_P(Collisions, RotationTurnsShapesClockwiseAroundTheHandle) {
    SetDrawRotation(90);  // local x runs down the screen, local y to the left
    (void)CollideRectAt(100, 100, 40, 4, 0, 1, a);
    SetDrawRotation(0);
    EXPECT_TRUE(Hits(96, 100) && Hits(99, 139));
    EXPECT_FALSE(Hits(100, 120) || Hits(95, 120) || Hits(97, 99) || Hits(97, 140));
    EXPECT_FALSE(Hits(110, 101)) << "where the unrotated bar would lie";

    // Only the top left quarter is solid; turned by 180 degrees it lies up and left of (100, 100).
    ResetCollisionLayers(0);
    Ref<TImage> quarter = PatternImage(20, 20, [](int32_t x, int32_t y) { return x < 10 && y < 10; });
    SetDrawRotation(180);
    (void)CollideImageAt(quarter, 100, 100, 0, 0, 1, a);
    SetDrawRotation(0);
    EXPECT_TRUE(Hits(90, 90, 10, 10));
    EXPECT_TRUE(Hits(99, 99));
    EXPECT_FALSE(Hits(80, 80, 10, 10) || Hits(90, 80, 10, 10) || Hits(80, 90, 10, 10));
    EXPECT_FALSE(Hits(100, 90, 10, 10) || Hits(90, 100, 10, 10)) << "outside the turned image";
}

TEST_P(Collisions, ScaleStretchesThePixelsThatAreSolid) {
    Ref<TImage> leftHalf = PatternImage(10, 10, [](int32_t x, int32_t) { return x < 5; });
    SetDrawScale(3, 2);
    (void)CollideImageAt(leftHalf, 30, 30, 0, 0, 1, a);  // 30 x 20 pixels, solid x 30..45
    SetDrawScale(1, 1);
    EXPECT_TRUE(Hits(30, 30) && Hits(44, 49));
    EXPECT_FALSE(Hits(45, 40) || Hits(59, 40) || Hits(40, 50) || Hits(29, 40));
}

TEST_P(Collisions, MirroredImageCollidesLikeTheFlippedPicture) {
    const auto ell = [](int32_t x, int32_t y) { return x < 4 || y >= 12; };  // an L
    const auto mirroredEll = [](int32_t x, int32_t y) { return x >= 12 || y >= 12; };
    SetDrawScale(-1, 1);
    (void)CollideImageAt(PatternImage(16, 16, ell), 116, 100, 0, 0, 1, a);
    SetDrawScale(1, 1);
    const std::vector<bool> mirrored = HitMap(98, 98, 20, 20);
    ResetCollisionLayers(0);
    (void)CollideImageAt(PatternImage(16, 16, mirroredEll), 100, 100, 0, 0, 1, a);
    EXPECT_EQ(mirrored, HitMap(98, 98, 20, 20));
    EXPECT_TRUE(Hits(115, 100) && !Hits(100, 100));

    ResetCollisionLayers(0);
    SetDrawScale(1, -1);
    (void)CollideImageAt(PatternImage(16, 16, ell), 100, 116, 0, 0, 1, a);
    SetDrawScale(1, 1);
    EXPECT_TRUE(Hits(100, 100, 4, 4) && !Hits(110, 110, 4, 4)) << "flipped upside down";
}

TEST_P(Collisions, LayersAreTestedInOrderNewestFirst) {
    (void)CollideRectAt(0, 0, 10, 10, 0, 3, a);
    EXPECT_EQ(CollideRectAt(5, 5, 10, 10, 3, 0, nullptr), (Ids{a, a})) << "stored in layers 0 and 1";
    (void)CollideRectAt(0, 0, 10, 10, 0, 1, b);
    EXPECT_EQ(CollideRectAt(5, 5, 10, 10, 3, 0, nullptr), (Ids{b, a, a}));
    EXPECT_EQ(CollideRectAt(5, 5, 10, 10, 2, 0, nullptr), (Ids{a}));
    EXPECT_TRUE(CollideRectAt(5, 5, 10, 10, 4, 0, nullptr).empty()) << "layer 2 is empty";

    // Testing happens before writing: a shape does not hit itself; a shape without id hits as none.
    EXPECT_EQ(CollideRectAt(50, 50, 4, 4, 1, 1, nullptr), Ids{});
    EXPECT_EQ(CollideRectAt(51, 51, 4, 4, 1, 0, a), Ids{nullptr});
}

TEST_P(Collisions, ResettingEmptiesTheChosenLayersOnly) {
    (void)CollideRectAt(0, 0, 10, 10, 0, 3, a);
    ResetCollisionLayers(1);
    EXPECT_EQ(CollideRectAt(5, 5, 10, 10, 3, 0, nullptr), (Ids{a})) << "layer 1 kept";

    (void)CollideRectAt(0, 0, 10, 10, 0, 0x80000021u, b);
    EXPECT_EQ(CollideRectAt(5, 5, 10, 10, 0xFFFFFFFFu, 0, nullptr), (Ids{b, a, b, b}));
    ResetCollisionLayers(0);
    EXPECT_TRUE(CollideRectAt(5, 5, 10, 10, 0xFFFFFFFFu, 0, nullptr).empty()) << "0 empties all";

    // Quads from the free pool are reused for new shapes with their own ids.
    (void)CollideRectAt(0, 0, 10, 10, 0, 4, a);
    EXPECT_EQ(CollideRectAt(5, 5, 10, 10, 0xFFFFFFFFu, 0, nullptr), (Ids{a}));
}

TEST_P(Collisions, EmptiedLayersLetGoOfIdsAndPixmaps) {
    std::weak_ptr<TObject> id;
    std::weak_ptr<TPixmap> pixmap;
    {
        const Ref<TObject> shapeId = MakeText(u"shape");
        const Ref<TImage> image = SolidImage(8, 8);
        id = shapeId;
        pixmap = image->pixmaps[0];
        (void)CollideImageAt(image, 0, 0, 0, 0, 1, shapeId);
    }
    EXPECT_FALSE(pixmap.expired()) << "stored shapes keep the pixmap they were made with";
    EXPECT_FALSE(id.expired());
    EXPECT_TRUE(Hits(3, 3));
    ResetCollisionLayers(1);
    EXPECT_TRUE(pixmap.expired());
    EXPECT_TRUE(id.expired());
}

TEST_P(Collisions, MissingImageOrFrameCollidesWithNothingAndIsNotStored) {
    (void)CollideRectAt(0, 0, 100, 100, 0, 1, a);
    Ref<TImage> image = SolidImage(10, 10);
    EXPECT_TRUE(CollideImageAt(nullptr, 5, 5, 0, 1, 2, b).empty());
    EXPECT_TRUE(CollideImageAt(image, 5, 5, 1, 1, 2, b).empty());
    EXPECT_TRUE(CollideImageAt(image, 5, 5, -1, 1, 2, b).empty());
    EXPECT_TRUE(CollideRectAt(0, 0, 100, 100, 2, 0, nullptr).empty()) << "nothing written";
    EXPECT_EQ(CollideImageAt(image, 5, 5, 0, 1, 0, b), Ids{a});
    EXPECT_FALSE(ImagesOverlap(image, 0, 0, 0, nullptr, 0, 0, 0));
}

TEST_P(Collisions, DegenerateAndNonFiniteShapesCollideWithNothing) {
    (void)CollideRectAt(0, 0, 100, 100, 0, 1, a);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_FALSE(Hits(nan, 10, 5, 5) || Hits(10, nan, 5, 5) || Hits(10, 10, nan, 5));
    EXPECT_FALSE(Hits(10, 10, 0, 5) || Hits(10, 10, 5, 0));
    EXPECT_FALSE(Hits(inf, 10, 5, 5));
    EXPECT_TRUE(Hits(-1e30f, -1e30f, 2e30f, 2e30f)) << "a huge rectangle covers the stored one";
    SetDrawScale(nan, 1);
    EXPECT_FALSE(Hits(10, 10, 5, 5));
    SetDrawScale(0, 0);
    EXPECT_FALSE(Hits(10, 10, 5, 5)) << "scaled to a point";
    SetDrawScale(1, 1);
}

TEST_P(Collisions, ImagesOverlapUnderTheCurrentMatrix) {
    Ref<TImage> square = SolidImage(64, 64);
    EXPECT_TRUE(ImagesOverlap(square, 0, 0, 0, square, 63, 63, 0));
    EXPECT_FALSE(ImagesOverlap(square, 0, 0, 0, square, 64, 0, 0));
    SetDrawRotation(45);  // both turn about their top left corners and overlap now
    EXPECT_TRUE(ImagesOverlap(square, 100, 0, 0, square, 164, 0, 0));
    SetDrawRotation(0);

    (void)CollideRectAt(0, 0, 1, 1, 0, 0x80000000u, a);
    EXPECT_FALSE(ImagesOverlap(square, 100, 100, 0, square, 200, 200, 0));
    EXPECT_TRUE(CollideRectAt(0, 0, 1, 1, 0x80000000u, 0, nullptr).empty()) << "layer 31 is emptied";
}

TEST_P(Collisions, ImagesOverlapTransformedTurnsEachImageAndRestoresTheMatrix) {
    Ref<TImage> square = SolidImage(64, 64);
    CentreImageHandle(square);  // the first covers 68..132; the second, unturned, 138..202
    EXPECT_FALSE(ImagesOverlapTransformed(square, 100, 100, 0, 0, 1, 1, square, 170, 100, 0, 0, 1, 1));
    EXPECT_TRUE(ImagesOverlapTransformed(square, 100, 100, 0, 0, 1, 1, square, 170, 100, 0, 45, 1, 1))
        << "a corner of the turned square reaches x 124.7";
    EXPECT_FALSE(ImagesOverlapTransformed(square, 100, 100, 0, 0, 1, 1, square, 170, 100, 0, 45, 0.5f, 0.5f));
    EXPECT_TRUE(ImagesOverlapTransformed(square, 100, 100, 0, 0, 2.2f, 1, square, 170, 100, 0, 0, 1, 1));

    SetDrawTransform(30, 2, 3);
    const TCollisionMatrix before = collisionMatrix;
    (void)ImagesOverlapTransformed(square, 0, 0, 0, 10, 1, 1, square, 0, 0, 0, 20, 1, 1);
    float sx = 0, sy = 0;
    GetDrawScale(sx, sy);
    EXPECT_EQ(GetDrawRotation(), 30.0f);
    EXPECT_EQ(sx, 2.0f);
    EXPECT_EQ(sy, 3.0f);
    EXPECT_EQ(collisionMatrix.ix, before.ix);
    EXPECT_EQ(collisionMatrix.jy, before.jy);
}

KAZ2D_TEST_ON_EACH_RENDERER(Collisions);

}  // namespace
}  // namespace qrv::testing
