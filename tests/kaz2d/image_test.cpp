#include <SDL_opengl.h>
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "kaz2d/glfixed/glfixed_image_frame.h"
#include "kaz2d/glfixed/glfixed_kaz2d_driver.h"
#include "kaz2d/glfixed/glfixed_render_state.h"
#include "kaz2d/glshader/glshader_image_frame.h"
#include "kaz2d/glshader/glshader_kaz2d_driver.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/image_module.h"
#include "kaz2d/kaz2d_module.h"
#include "pixmap/pixmap_save.h"
#include "stream/embedded_files.h"
#include "stream/stream_utils.h"
#include "tests/kaz2d/kaz2d_window.h"

namespace qrv::testing {
namespace {

using Images = Kaz2DWindow;

// Each column of the pixmap has its own red level; the last column and row are green.
Ref<TPixmap> ColumnsPixmap(int32_t w, int32_t h) {
    Ref<TPixmap> pixmap = NewPixmap(w, h, FormatRGBA8888, 4);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            pixmap->SetPixelARGB(x, y, x == w - 1 || y == h - 1 ? 0xFF00FF00 : 0xFF000000 | x << 16);
    return pixmap;
}

// What both renderers' frames hold: a texture and the corner of the frame in it.
struct TFrameTexture {
    uint32_t texture = 0;
    float s1 = 0.0f;
    float t1 = 0.0f;
};

std::optional<TFrameTexture> TextureOf(const Ref<TImageFrame>& frame) {
    if (const auto gl = std::dynamic_pointer_cast<TGLImageFrame>(frame))
        return TFrameTexture{gl->Texture(), gl->S1(), gl->T1()};
    if (const auto core = std::dynamic_pointer_cast<TGLShaderImageFrame>(frame))
        return TFrameTexture{core->Texture(), core->S1(), core->T1()};
    return std::nullopt;
}

// The texture the renderer last bound for drawing.
uint32_t BoundTexture() {
    if (const auto core = std::dynamic_pointer_cast<TGLShaderKaz2DDriver>(CurrentKaz2DDriver()))
        return core->BoundTexture();
    return GLRenderState().boundTexture;
}

std::vector<uint32_t> TextureTexels(const TFrameTexture& frame, int32_t level, int32_t& w, int32_t& h) {
    glBindTexture(GL_TEXTURE_2D, frame.texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
    std::vector<uint32_t> texels(static_cast<size_t>(w) * h);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    SelectGraphics(CurrentGraphics());  // the renderer's texture cache is stale now
    return texels;
}

TEST_P(Images, FramesArePaddedToPowersOfTwoWithRepeatedEdges) {
    Ref<TImage> image = TImage::Load(ColumnsPixmap(100, 60), IMG_MIPMAPPED, 0, 0, 0);
    ASSERT_TRUE(image);
    const Ref<TImageFrame> made = image->Frame(0);
    auto frame = TextureOf(made);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->s1, 0.78125f);
    EXPECT_EQ(frame->t1, 0.9375f);
    ASSERT_EQ(image->frames[0].size(), 1u);
    EXPECT_EQ(image->Frame(0), made) << "made once per context";

    int32_t w = 0, h = 0;
    const std::vector<uint32_t> texels = TextureTexels(*frame, 0, w, h);
    ASSERT_EQ(w, 128);
    ASSERT_EQ(h, 64);
    for (int32_t y : {0, 30, 58}) EXPECT_EQ(texels[y * 128 + 100], texels[y * 128 + 99]) << y;
    for (int32_t x : {0, 50, 98}) EXPECT_EQ(texels[60 * 128 + x], texels[59 * 128 + x]) << x;
    EXPECT_EQ(texels[60 * 128 + 100], texels[59 * 128 + 99]);
    EXPECT_EQ(texels[10 * 128 + 101], 0u) << "only one column is repeated";
    TextureTexels(*frame, 7, w, h);
    EXPECT_EQ(w * h, 1) << "mipmaps go down to 1 x 1";

    Ref<TImage> square = TImage::Load(NewPixmap(256, 256, FormatRGB888, 1), IMG_FILTERED, 0, 0, 0);
    frame = TextureOf(square->Frame(0));
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->s1, 1.0f);
    EXPECT_EQ(frame->t1, 1.0f);
    GLint filter = 0;
    glBindTexture(GL_TEXTURE_2D, frame->texture);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);
}

// A 32 x 16 JPEG, black on the left half and the colour on the right.
bool SaveHalfBlackJpeg(const std::u16string& path, uint32_t rightArgb) {
    Ref<TPixmap> picture = NewPixmap(32, 16, FormatRGBA8888, 4);
    for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 32; ++x) picture->SetPixelARGB(x, y, x < 16 ? 0xFF000000 : rightArgb);
    return SavePixmapJPEG(picture->ConvertedTo(FormatRGB888), path, 100);
}

TEST_P(Images, MaskedJpegLosesItsBlackAndAlphaPixmapsKeepTheirAlpha) {
    const std::u16string path = PathOf("masked.jpg");
    ASSERT_TRUE(SaveHalfBlackJpeg(path, 0xFFFFFFFF));

    Ref<TImage> image = LoadImageFromUrl(path, -1);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->flags, IMG_MASKED | IMG_FILTERED);
    SetClearColor(0, 0, 255);
    ClearScreen();
    DrawImageAt(image, 10, 10, 0);
    EXPECT_EQ(PixelAt(14, 18), 0x0000FFu) << "black became transparent";
    EXPECT_EQ(PixelAt(36, 18), 0xFFFFFFu);

    Ref<TPixmap> withAlpha = SolidPixmap(8, 8, 0xFF000000);
    withAlpha->SetPixelARGB(0, 0, 0x00FFFFFF);
    Ref<TImage> kept = LoadImageFromUrl(withAlpha, -1);
    DrawImageAt(kept, 100, 100, 0);
    EXPECT_EQ(PixelAt(104, 104), 0u) << "opaque black of an alpha pixmap stays";
    EXPECT_EQ(PixelAt(100, 100), 0x0000FFu);

    EXPECT_EQ(LoadImageFromUrl(PathOf("missing.png"), -1), nullptr);
    SetDefaultImageFlags(-1);
    EXPECT_EQ(DefaultImageFlags(), IMG_MASKED | IMG_FILTERED);
}

// The bytes of a picture saved to a file, registered as an embedded file for the whole run.
std::u16string EmbedPictureFile(const std::u16string& path) {
    static const std::vector<uint8_t> bytes = LoadBytes(MakeText(path));
    (void)RegisterEmbeddedFile(u"image_test_masked.jpg", bytes.data(),
                               static_cast<int32_t>(bytes.size()));
    return u"INCBIN::image_test_masked.jpg";
}

void ExpectSamePixels(const Ref<TPixmap>& expected, const Ref<TPixmap>& actual) {
    ASSERT_TRUE(expected && actual);
    ASSERT_EQ(actual->Width(), expected->Width());
    ASSERT_EQ(actual->Height(), expected->Height());
    for (int32_t y = 0; y < expected->Height(); ++y)
        for (int32_t x = 0; x < expected->Width(); ++x)
            ASSERT_EQ(actual->GetPixelARGB(x, y), expected->GetPixelARGB(x, y)) << x << "," << y;
}

TEST_P(Images, EmbeddedPicturesKeepNoPixmapAndDecodeAgainWhenNeeded) {
    const std::u16string path = PathOf("embedded.jpg");
    ASSERT_TRUE(SaveHalfBlackJpeg(path, 0xFFFFFF00));
    const Ref<TImage> fromFile = LoadImageFromUrl(path, -1);
    const Ref<TImage> image = LoadImageFromUrl(EmbedPictureFile(path), -1);
    ASSERT_TRUE(fromFile && image);
    EXPECT_FALSE(IsEmbeddedFileUrl(u"incbin::not_registered.jpg"));

    EXPECT_EQ(image->pixmaps[0], nullptr);
    ExpectSamePixels(fromFile->pixmaps[0], image->Pixels(0));
    SetClearColor(0, 0, 255);
    ClearScreen();
    DrawImageAt(image, 10, 10, 0);
    EXPECT_EQ(PixelAt(14, 18), 0x0000FFu) << "keyed as when it was loaded";
    EXPECT_EQ(PixelAt(36, 18), 0xFFFF00u);
    EXPECT_EQ(image->pixmaps[0], nullptr) << "drawing keeps no pixmap";
    image->ReleaseFrames();
    EXPECT_TRUE(image->frames[0].empty());
    ClearScreen();
    DrawImageAt(image, 10, 10, 0);
    EXPECT_EQ(PixelAt(36, 18), 0xFFFF00u) << "a released frame is made again from the file";

    const Ref<TObject> saved = MakeText(PathOf("image.qrvd"));
    WriteObjectTo(image, MakeText(u"data::" + *AsText(saved)));
    const auto read = std::dynamic_pointer_cast<TImage>(ReadObjectFrom(MakeText(u"data::" + *AsText(saved))));
    ASSERT_TRUE(read);
    ExpectSamePixels(fromFile->pixmaps[0], read->pixmaps[0]);

    CloseGraphicsWindow();
    graphics = OpenGraphicsWindow(kSize, kSize, 0, 0, 0);
    ASSERT_TRUE(graphics);
    DrawImageAt(image, 0, 0, 0);
    EXPECT_EQ(PixelAt(20, 4), 0xFFFF00u) << "the frame is made again for the new window";

    image->Lock(0, false, true)->SetPixelARGB(20, 4, 0xFF00FF00);
    EXPECT_NE(image->pixmaps[0], nullptr) << "a locked frame keeps its pixmap";
    DrawImageAt(image, 0, 0, 0);
    EXPECT_EQ(PixelAt(20, 4), 0x00FF00u);
    EXPECT_EQ(image->Pixels(0)->GetPixelARGB(20, 4), 0xFF00FF00u);
}

TEST_P(Images, AnimationStripsAreCutIntoCells) {
    Ref<TPixmap> strip = ColumnsPixmap(100, 50);
    Ref<TImage> anim = LoadAnimImageFromUrl(strip, 32, 32, 1, 2, 0);
    ASSERT_TRUE(anim);
    ASSERT_EQ(anim->FrameCount(), 2);
    EXPECT_EQ(anim->width, 32);
    EXPECT_EQ(anim->Lock(0, true, false)->GetPixelARGB(0, 0), 0xFF200000u) << "cell at x 32";
    EXPECT_EQ(anim->Lock(1, true, false)->GetPixelARGB(0, 0), 0xFF400000u) << "cell at x 64";
    EXPECT_EQ(LoadAnimImageFromUrl(strip, 32, 32, 2, 2, 0), nullptr) << "only 3 cells";
    EXPECT_EQ(LoadAnimImageFromUrl(strip, 0, 32, 0, 1, 0), nullptr);
    EXPECT_EQ(LoadAnimImageFromUrl(strip, 32, 32, -1, 1, 0), nullptr);
}

TEST_P(Images, HandlesPlaceImagesAndTheDrawColourTintsThem) {
    Ref<TImage> image = TImage::Load(SolidPixmap(64, 32, 0xFFFFFFFF), 0, 0, 0, 0);
    CentreImageHandle(image);
    SetDrawHandle(100, 100);  // the drawing handle does not apply to images
    SetDrawColor(255, 0, 255);
    DrawImageAt(image, 10, 20, 0);
    Ref<TPixmap> expected = SolidPixmap(60, 50, 0xFF000000);
    for (int32_t y = 4; y < 36; ++y)
        for (int32_t x = 0; x < 42; ++x) expected->SetPixelARGB(x, y, 0xFFFF00FF);
    ExpectScreenMatches(0, 0, expected);

    SetAutoCentreHandle(true);
    Ref<TImage> blank = CreateBlankImage(10, 6, 1, -1);
    SetAutoCentreHandle(false);
    EXPECT_EQ(blank->handleX, 5.0f);
    EXPECT_EQ(blank->flags, IMG_MASKED | IMG_FILTERED | IMG_DYNAMIC);
}

TEST_P(Images, ImagesSurviveReopeningTheWindowAndWritesRebuildFrames) {
    Ref<TImage> image = TImage::Load(SolidPixmap(8, 8, 0xFFFF0000), 0, 0, 0, 0);
    DrawImageAt(image, 0, 0, 0);
    EXPECT_EQ(PixelAt(4, 4), 0xFF0000u);
    const Ref<TImageFrame> first = image->Frame(0);

    CloseGraphicsWindow();
    graphics = OpenGraphicsWindow(kSize, kSize, 0, 0, 0);
    ASSERT_TRUE(graphics);
    DrawImageAt(image, 0, 0, 0);
    EXPECT_EQ(PixelAt(4, 4), 0xFF0000u);
    EXPECT_NE(image->Frame(0), first) << "a new texture for the new window";

    image->Lock(0, false, true)->SetPixelARGB(4, 4, 0xFF00FF00);
    DrawImageAt(image, 0, 0, 0);
    EXPECT_EQ(PixelAt(4, 4), 0x00FF00u);
}

TEST_P(Images, DeletedTexturesAreForgottenAsBound) {
    Ref<TImage> red = TImage::Load(SolidPixmap(8, 8, 0xFFFF0000), 0, 0, 0, 0);
    DrawImageAt(red, 0, 0, 0);
    PixelAt(0, 0);  // the shader renderer binds when it draws what it queued
    const uint32_t name = TextureOf(red->Frame(0)).value().texture;
    ASSERT_EQ(BoundTexture(), name);
    red = nullptr;
    // GL may hand the name out again; a texture that gets it must then be bound afresh.
    EXPECT_EQ(BoundTexture(), 0u);
    Ref<TImage> green = TImage::Load(SolidPixmap(8, 8, 0xFF00FF00), 0, 0, 0, 0);
    DrawImageAt(green, 0, 0, 0);
    EXPECT_EQ(PixelAt(4, 4), 0x00FF00u);
}

TEST_P(Images, FramesMadeWhileAWindowDrawsAreSharedAndLeaveTheBoundTextureKnown) {
    Ref<TImage> red = TImage::Load(SolidPixmap(8, 8, 0xFFFF0000), 0, 0, 0, 0);
    Ref<TImage> green = TImage::Load(SolidPixmap(8, 8, 0xFF00FF00), 0, 0, 0, 0);
    DrawImageAt(red, 0, 0, 0);
    ASSERT_TRUE(green->Frame(0));  // its texture is made, and bound, between two draws of red
    DrawImageAt(red, 40, 0, 0);
    EXPECT_EQ(PixelAt(4, 4), 0xFF0000u);
    EXPECT_EQ(PixelAt(44, 4), 0xFF0000u) << "the red texture is bound again";

    const Ref<TGraphics> other = NewGraphics(64, 64, 0, 0, 0);
    ASSERT_TRUE(other);
    SelectGraphics(other);
    DrawImageAt(green, 0, 0, 0);
    EXPECT_EQ(PixelAt(4, 4), 0x00FF00u) << "the texture made in the first window draws here";
    SelectGraphics(graphics);
    CloseGraphicsContext(other);
    DrawImageAt(green, 0, 0, 0);
    EXPECT_EQ(PixelAt(4, 4), 0x00FF00u);
}

// Textures the current renderer's atlas has.
size_t AtlasPages() {
    if (const auto core = std::dynamic_pointer_cast<TGLShaderKaz2DDriver>(CurrentKaz2DDriver()))
        return core->AtlasPageCount();
    return TGLImageFrame::AtlasPageCount();
}

TEST_P(Images, SmallUnfilteredFramesShareAnAtlasPageThatGoesWithTheirLastFrame) {
    const size_t pagesBefore = AtlasPages();
    Ref<TImage> red = TImage::Load(SolidPixmap(8, 8, 0xFFFF0000), 0, 0, 0, 0);
    Ref<TImage> green = TImage::Load(SolidPixmap(5, 12, 0xFF00FF00), IMG_MASKED, 0, 0, 0);
    const Ref<TImage> filtered = TImage::Load(SolidPixmap(8, 8, 0xFF0000FF), IMG_FILTERED, 0, 0, 0);
    const Ref<TImage> large = TImage::Load(SolidPixmap(65, 8, 0xFF0000FF), 0, 0, 0, 0);
    const uint32_t page = TextureOf(red->Frame(0)).value().texture;
    EXPECT_EQ(TextureOf(green->Frame(0)).value().texture, page);
    EXPECT_NE(TextureOf(filtered->Frame(0)).value().texture, page);
    EXPECT_NE(TextureOf(large->Frame(0)).value().texture, page);
    if (pagesBefore == 0) {
        EXPECT_EQ(AtlasPages(), 1u);
    }

    // Stretched and side by side, each cell shows its own pixels up to its edges.
    SetDrawScale(3, 3);
    DrawImageAt(red, 0, 0, 0);
    DrawImageAt(green, 24, 0, 0);
    SetDrawScale(1, 1);
    EXPECT_EQ(PixelAt(0, 0), 0xFF0000u);
    EXPECT_EQ(PixelAt(23, 23), 0xFF0000u);
    EXPECT_EQ(PixelAt(24, 0), 0x00FF00u);
    EXPECT_EQ(PixelAt(38, 35), 0x00FF00u);
    EXPECT_EQ(PixelAt(39, 20), 0u);
    EXPECT_EQ(PixelAt(10, 24), 0u);

    red = nullptr;
    green = nullptr;
    EXPECT_EQ(AtlasPages(), pagesBefore) << "the page goes with its last frame";
}

TEST_P(Images, TilesCoverTheViewportUnrotated) {
    Ref<TPixmap> tile = SolidPixmap(32, 32, 0xFFFFFFFF);
    for (int32_t y = 0; y < 32; ++y) tile->SetPixelARGB(0, y, 0xFFFF0000);
    Ref<TImage> image = TImage::Load(tile, 0, 0, 0, 0);
    const int32_t vx = 40, vy = 30;
    SetViewportRect(vx, vy, 100, 80);
    SetDrawRotation(90);
    TileImageAt(image, vx - 63, vy, 0);
    Ref<TPixmap> expected = SolidPixmap(102, 82, 0xFF000000);
    for (int32_t y = 1; y < 81; ++y)
        for (int32_t x = 1; x < 101; ++x)
            expected->SetPixelARGB(x, y, (x - 1) % 32 == 1 ? 0xFFFF0000 : 0xFFFFFFFF);
    ExpectScreenMatches(vx - 1, vy - 1, expected);

    TileImageAt(image, vx - 64, vy, 0);
    EXPECT_EQ(PixelAt(vx, vy + 5), 0xFF0000u) << "the first column starts at the viewport";
    SetViewportRect(0, 0, kSize, kSize);
    FillRect(300, 300, 10, 1);
    EXPECT_EQ(PixelAt(299, 305), 0xFFFFFFu) << "the rotation is in force again";
}

TEST_P(Images, ScreenCopiesBecomeImagePixels) {
    SetDrawColor(0, 128, 255);
    FillRect(10, 10, 4, 4);
    Ref<TImage> image = CreateBlankImage(8, 8, 2, 0);
    CopyScreenToImage(image, 8, 8, 1);
    EXPECT_EQ(image->Lock(1, true, false)->GetPixelARGB(2, 2), 0xFF0080FFu);
    SetDrawColor(255, 255, 255);
    DrawImageAt(image, 100, 100, 1);
    EXPECT_EQ(PixelAt(102, 102), 0x0080FFu);
    EXPECT_EQ(image->Frame(5), nullptr);
    EXPECT_EQ(TImage::Create(4, 4, -1, 0, 0, 0, 0), nullptr);
}


// Closing the current context directly leaves nothing to read from: the image keeps its pixels,
// and selecting the closed context afterwards is harmless and leaves no context current.
TEST_P(Images, AClosedContextNeitherCopiesToImagesNorBecomesCurrent) {
    Ref<TImage> image = CreateBlankImage(4, 4, 1, 0);
    image->Lock(0, true, true)->SetPixelARGB(1, 1, 0xFF336699);
    graphics->Close();
    CopyScreenToImage(image, 0, 0, 0);
    EXPECT_EQ(image->Lock(0, true, false)->GetPixelARGB(1, 1), 0xFF336699u);

    Ref<TGraphics> closed = NewGraphics(32, 32, 0, 0, 0);
    ASSERT_TRUE(closed);
    closed->Close();
    SelectGraphics(closed);
    EXPECT_EQ(CurrentGraphics(), nullptr);
    EXPECT_EQ(CurrentWidth(), 0);
    EXPECT_EQ(image->Frame(0), nullptr);
}

KAZ2D_TEST_ON_EACH_RENDERER(Images);

}  // namespace
}  // namespace qrv::testing
