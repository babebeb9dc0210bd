// Image fonts and text drawing in a real OpenGL window: the built-in 8 x 16 font, a TrueType
// face through the font loaders, and the pen under origin, handle and matrix.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "kaz2d/image_font.h"
#include "kaz2d/image_font_module.h"
#include "kaz2d/kaz2d_graphics.h"
#include "kaz2d/kaz2d_module.h"
#include "kaz2d/text_drawing.h"
#include "stream/embedded_files.h"
#include "tests/kaz2d/kaz2d_window.h"

namespace qrv::testing {
void RegisterImageFontTestFiles();

namespace {

constexpr uint32_t BLACK = 0x000000;

class ImageFont : public Kaz2DWindow {
protected:
    void SetUp() override {
        InitImageFontModule();
        RegisterImageFontTestFiles();
        Kaz2DWindow::SetUp();
    }

    // The built-in glyph of a character as the window shows it on black: white where a bit of
    // "krastfont.bin" is set, each pixel repeated scaleX times across.
    static Ref<TPixmap> BuiltInGlyphPicture(char character, int32_t scaleX = 1) {
        const uint8_t* bits = EmbeddedFileData(u"krastfont.bin");
        Ref<TPixmap> picture = NewPixmap(8 * scaleX, 16, FormatRGBA8888, 4);
        for (int32_t y = 0; y < 16; ++y) {
            const uint8_t row = bits[y * 96 + (character - 32)];
            for (int32_t x = 0; x < 8 * scaleX; ++x) {
                const bool set = (row >> (x / scaleX)) & 1;
                picture->SetPixelARGB(x, y, set ? 0xFFFFFFFF : 0xFF000000);
            }
        }
        return picture;
    }

    // The number of pixels of the rectangle that are not black.
    static int32_t LitPixels(int32_t x, int32_t y, int32_t w, int32_t h) {
        const Ref<TPixmap> pixels = GrabPixmapRect(x, y, w, h);
        int32_t lit = 0;
        for (int32_t j = 0; j < h; ++j) {
            for (int32_t i = 0; i < w; ++i) lit += (pixels->GetPixelARGB(i, j) & 0xFFFFFF) != BLACK;
        }
        return lit;
    }
};

TEST_P(ImageFont, NewContextStartsWithTheBuiltInFont) {
    const Ref<TImageFont> font = CurrentFont();
    ASSERT_TRUE(font);
    EXPECT_EQ(font, DefaultImageFont());
    EXPECT_FALSE(font->sourceFont);
    EXPECT_EQ(font->GlyphCount(), 96);
    EXPECT_EQ(font->StyleFlags(), 0);
    EXPECT_EQ(FontLineHeight(), 16);
    EXPECT_EQ(MeasureText(u"abc"), 24);
}

TEST_P(ImageFont, BuiltInFontCoversCodes32To127) {
    const Ref<TImageFont> font = DefaultImageFont();
    ASSERT_TRUE(font);
    EXPECT_EQ(font->GlyphIndexOf(u'A'), 33);
    EXPECT_EQ(font->GlyphIndexOf(u' '), 0);
    EXPECT_EQ(font->GlyphIndexOf(127), 95);
    for (int32_t code : {128, 31, 9, 0, -1, 0x416}) EXPECT_EQ(font->GlyphIndexOf(code), -1) << code;
    EXPECT_FALSE(font->GlyphAt(96));
    EXPECT_FALSE(font->GlyphAt(-1));

    const Ref<TImageGlyph> glyph = font->GlyphAt(33);
    ASSERT_TRUE(glyph && glyph->GlyphImage());
    int32_t x, y, w, h;
    glyph->PlacementRect(x, y, w, h);
    EXPECT_EQ((std::array{x, y, w, h}), (std::array{0, 0, 8, 16}));
    EXPECT_EQ(glyph->AdvanceWidth(), 8.0f);
    EXPECT_EQ(glyph->GlyphImage()->flags, 0);
    // The glyph image holds the bits, least significant bit leftmost, white on transparent
    // (F, as A is the same both ways round).
    const Ref<TPixmap> pixels = font->GlyphAt(font->GlyphIndexOf(u'F'))->GlyphImage()->pixmaps[0];
    const Ref<TPixmap> expected = BuiltInGlyphPicture('F');
    ASSERT_TRUE(pixels);
    for (int32_t j = 0; j < 16; ++j) {
        for (int32_t i = 0; i < 8; ++i) {
            const bool set = expected->GetPixelARGB(i, j) == 0xFFFFFFFF;
            ASSERT_EQ(pixels->GetPixelARGB(i, j), set ? 0xFFFFFFFFu : 0u) << i << ", " << j;
        }
    }
}

TEST_P(ImageFont, BuiltInTextIsDrawnGlyphByGlyph) {
    DrawTextAt(u"AB", 100, 100);
    ExpectScreenMatches(100, 100, BuiltInGlyphPicture('A'));
    ExpectScreenMatches(108, 100, BuiltInGlyphPicture('B'));
}

TEST_P(ImageFont, CharactersWithoutAGlyphDrawNothingAndKeepThePen) {
    DrawTextAt(u"\t\u0080\u0416\u001F", 40, 40);
    EXPECT_EQ(LitPixels(0, 0, 200, 100), 0);
    EXPECT_EQ(MeasureText(u"\t\u0080\u0416"), 0);

    DrawTextAt(u"\tA\u0080B\u0416", 100, 200);
    ExpectScreenMatches(100, 200, BuiltInGlyphPicture('A'));
    ExpectScreenMatches(108, 200, BuiltInGlyphPicture('B'));
    EXPECT_EQ(LitPixels(116, 200, 30, 16), 0);
    EXPECT_EQ(MeasureText(u"\tA\u0080B\u0416"), 16);
}

TEST_P(ImageFont, ScaleDoublesGlyphWidthAndAdvance) {
    SetDrawScale(2, 1);
    DrawTextAt(u"AB", 100, 100);
    ExpectScreenMatches(100, 100, BuiltInGlyphPicture('A', 2));
    ExpectScreenMatches(116, 100, BuiltInGlyphPicture('B', 2));
}

TEST_P(ImageFont, PenStartsUnderHandleAndOrigin) {
    SetDrawHandle(10, 5);
    DrawTextAt(u"A", 100, 100);
    ExpectScreenMatches(90, 95, BuiltInGlyphPicture('A'));

    ClearScreen();
    SetDrawOrigin(20, 0);
    DrawTextAt(u"A", 100, 100);
    ExpectScreenMatches(110, 95, BuiltInGlyphPicture('A'));
}

TEST_P(ImageFont, TrueTypeFaceDrawsCyrillicTheBuiltInFontCannot) {
    DrawTextAt(u"Шпион", 50, 100);
    EXPECT_EQ(LitPixels(40, 90, 200, 60), 0) << "the built-in font has no Cyrillic";

    const Ref<TImageFont> font = OpenImageFont(u"incbin::b2.ttf", 30, 1);
    ASSERT_TRUE(font);
    SelectFont(font);
    EXPECT_EQ(CurrentFont(), font);
    EXPECT_EQ(FontLineHeight(), font->sourceFont->FontHeight());
    EXPECT_GT(MeasureText(u"Шпион"), 60);
    DrawTextAt(u"Шпион", 50, 100);
    EXPECT_GT(LitPixels(40, 90, 200, 60), 200) << "the face's Cyrillic glyphs were not drawn";
    EXPECT_EQ(LitPixels(0, 0, 512, 85), 0) << "drawn above the line";

    SelectFont(nullptr);
    EXPECT_EQ(CurrentFont(), DefaultImageFont());
    EXPECT_EQ(FontLineHeight(), 16);
}

TEST_P(ImageFont, GlyphsAreMadeOnceAndBlankOrMissingOnesHaveNoImage) {
    const Ref<TImageFont> font = OpenImageFont(u"incbin::b2.ttf", 18, 1);
    ASSERT_TRUE(font);
    const int32_t index = font->GlyphIndexOf(u'Ё');
    ASSERT_GE(index, 0);
    const Ref<TImageGlyph> glyph = font->GlyphAt(index);
    ASSERT_TRUE(glyph && glyph->GlyphImage());
    EXPECT_EQ(font->GlyphAt(index), glyph);

    const Ref<TImageGlyph> space = font->GlyphAt(font->GlyphIndexOf(u' '));
    ASSERT_TRUE(space);
    EXPECT_FALSE(space->GlyphImage());
    EXPECT_GT(space->AdvanceWidth(), 0.0f);

    EXPECT_EQ(font->GlyphIndexOf(u'\u4E00'), -1);
    EXPECT_FALSE(OpenImageFont(u"incbin::no-such-face.ttf", 18, 1));
}

TEST_P(ImageFont, SmoothStyleGivesPaddedFilteredMipmappedGlyphs) {
    const Ref<TImageFont> plain = OpenImageFont(u"incbin::b2.ttf", 30, 1);
    const Ref<TImageFont> smooth = OpenImageFont(u"incbin::b2.ttf", 30, 4);
    ASSERT_TRUE(plain && smooth);
    EXPECT_EQ(plain->imageFlags, 0);
    EXPECT_EQ(smooth->imageFlags, IMG_FILTERED | IMG_MIPMAPPED);
    EXPECT_EQ(smooth->StyleFlags(), 4);

    const Ref<TImageGlyph> a = plain->GlyphAt(plain->GlyphIndexOf(u'Щ'));
    const Ref<TImageGlyph> b = smooth->GlyphAt(smooth->GlyphIndexOf(u'Щ'));
    ASSERT_TRUE(a && b && a->image && b->image);
    EXPECT_EQ(a->image->flags, 0);
    EXPECT_EQ(b->image->flags, IMG_FILTERED | IMG_MIPMAPPED);
    EXPECT_EQ((std::array{b->x, b->y, b->width, b->height}),
              (std::array{a->x - 1, a->y - 1, a->width + 2, a->height + 2}));
    EXPECT_EQ(b->image->width, b->width);
    EXPECT_EQ(b->image->height, b->height);

    // Both draw; the smooth glyph's border is transparent, so only its outline differs.
    SelectFont(smooth);
    DrawTextAt(u"Щ", 100, 100);
    EXPECT_GT(LitPixels(90, 90, 60, 60), 100);
}

KAZ2D_TEST_ON_EACH_RENDERER(ImageFont);

}  // namespace
}  // namespace qrv::testing
