// The font interface and the FreeType loader, on the game's embedded face, an installed
// TrueType face and an installed bitmap face.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/error.h"
#include "core/text.h"
#include "pixmap/freetype_font.h"
#include "stream/embedded_files.h"

namespace pixmap_test {
void RegisterFontTestFiles();
}

namespace {

using namespace qrv;

const char16_t* const DEJAVU_SANS = u"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char16_t* const GAME_FACE = u"incbin::b2.ttf";
// A 1-bit bitmap face with a single 14-pixel strike.
const char16_t* const MISC_FIXED_7X14 = u"/usr/share/fonts/X11/misc/7x14.pcf.gz";

class FreeTypeFont : public testing::Test {
protected:
    static void SetUpTestSuite() {
        InitFreeTypeModule();
        pixmap_test::RegisterFontTestFiles();
    }
};

// A file in a fresh temporary folder, removed with the folder.
class TTempFile {
public:
    explicit TTempFile(const std::string& content) {
        folder = std::filesystem::temp_directory_path() /
                 ("qrv-font-" + std::to_string(reinterpret_cast<uintptr_t>(this)));
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "face.ttf", std::ios::binary) << content;
    }
    ~TTempFile() { std::filesystem::remove_all(folder); }
    std::u16string Path() const { return FromUtf8((folder / "face.ttf").string()); }

private:
    std::filesystem::path folder;
};

Ref<TFreeTypeGlyph> GlyphOf(TFreeTypeFont& font, char16_t character) {
    return std::dynamic_pointer_cast<TFreeTypeGlyph>(font.GlyphAt(font.GlyphIndexOf(character)));
}

int32_t CountPixelsAbove(const TPixmap& pixmap, uint8_t level) {
    int32_t count = 0;
    for (int32_t y = 0; y < pixmap.Height(); ++y) {
        for (int32_t x = 0; x < pixmap.Width(); ++x) count += *pixmap.PixelAddress(x, y) > level;
    }
    return count;
}

TEST(FontInterface, AbstractOperationsRaise) {
    TGlyph glyph;
    TFont font;
    TFontLoader loader;
    int32_t x, y, w, h;
    EXPECT_THROW((void)glyph.GlyphPixmap(), TRuntimeError);
    EXPECT_THROW((void)glyph.AdvanceWidth(), TRuntimeError);
    EXPECT_THROW(glyph.PlacementRect(x, y, w, h), TRuntimeError);
    EXPECT_THROW((void)font.StyleFlags(), TRuntimeError);
    EXPECT_THROW((void)font.GlyphAt(0), TRuntimeError);
    try {
        (void)loader.TryLoadFont(MakeText(u"x"), 12, 0);
        FAIL() << "TryLoadFont of the base loader returned";
    } catch (const TRuntimeError& error) {
        EXPECT_EQ(error.Message(), u"Attempt to call abstract method");
    }
}

// A loader that counts what it is asked and opens nothing.
class TCountingLoader final : public TFontLoader {
public:
    Ref<TFont> TryLoadFont(const Ref<TObject>&, int32_t, int32_t) override {
        ++asked;
        return nullptr;
    }
    int asked = 0;
};

TEST_F(FreeTypeFont, LoadersAreAskedNewestFirstAndLinkedOnce) {
    auto refusing = std::make_shared<TCountingLoader>();
    RegisterFontLoader(refusing);
    RegisterFontLoader(refusing);  // already linked: must not close the list into a ring
    EXPECT_EQ(FirstFontLoader(), refusing);

    int32_t length = 0;
    for (Ref<TFontLoader> loader = FirstFontLoader(); loader && length < 100; loader = loader->Next())
        ++length;
    EXPECT_LT(length, 100) << "the loader list loops";

    Ref<TFont> font = FontFromLoaders(GAME_FACE, 18, 1);
    ASSERT_TRUE(font) << "the FreeType loader behind the refusing one should open the face";
    EXPECT_EQ(refusing->asked, 1);
    EXPECT_EQ(font->StyleFlags(), 1);
    EXPECT_FALSE(FontFromLoaders(u"incbin::no-such-face.ttf", 18, 0));
    EXPECT_EQ(refusing->asked, 2);
}

TEST_F(FreeTypeFont, LoaderTakesOnlyNonEmptyText) {
    TFreeTypeFontLoader loader;
    EXPECT_FALSE(loader.TryLoadFont(nullptr, 18, 0));
    EXPECT_FALSE(loader.TryLoadFont(std::make_shared<TObject>(), 18, 0));
    EXPECT_FALSE(loader.TryLoadFont(MakeText(u""), 18, 0));
    EXPECT_TRUE(loader.TryLoadFont(MakeText(DEJAVU_SANS), 18, 0));
}

TEST_F(FreeTypeFont, EmbeddedFaceOpensFromMemoryWithWholePixelMetrics) {
    Ref<TFreeTypeFont> font = OpenFreeTypeFont(GAME_FACE, 30, 0);
    ASSERT_TRUE(font);
    EXPECT_TRUE(font->IsMemoryFace());
    EXPECT_EQ(font->PixelSize(), 30);
    // A sans face at 30 pixels: a line of 30 to 40 pixels, most of it above the baseline.
    EXPECT_GE(font->FontHeight(), 30);
    EXPECT_LE(font->FontHeight(), 40);
    EXPECT_GT(font->Ascender(), 20);
    EXPECT_LT(font->Descender(), 0);
    EXPECT_GT(font->GlyphCount(), 66);  // at least both Russian alphabets

    // FreeType's largest pixel size bounds the search, so a huge request ends at once.
    Ref<TFreeTypeFont> huge = OpenFreeTypeFont(GAME_FACE, 0x7FFFFFFF, 0);
    ASSERT_TRUE(huge);
    EXPECT_LE(huge->PixelSize(), 0xFFFF);
}

TEST_F(FreeTypeFont, FilePathOpensAFileFace) {
#ifdef _WIN32
    GTEST_SKIP() << "on Windows every font is read into memory, and the DejaVu file is Linux's";
#endif
    Ref<TFreeTypeFont> font = OpenFreeTypeFont(DEJAVU_SANS, 18, 0);
    ASSERT_TRUE(font);
    EXPECT_FALSE(font->IsMemoryFace());
    EXPECT_GT(font->GlyphCount(), 1000);
}

TEST_F(FreeTypeFont, WhatCannotOpenGivesNone) {
    EXPECT_FALSE(OpenFreeTypeFont(u"/no/such/face.ttf", 18, 0));
    EXPECT_FALSE(OpenFreeTypeFont(u"incbin::no-such-face.ttf", 18, 0));
    EXPECT_FALSE(OpenFreeTypeFont(u"", 18, 0));
    // "::" at the start is no protocol: this is a file path, which does not exist.
    EXPECT_FALSE(OpenFreeTypeFont(u"::b2.ttf", 18, 0));
    // A path that 8-bit file names cannot express.
    EXPECT_FALSE(OpenFreeTypeFont(u"/tmp/\u0416.ttf", 18, 0));
    EXPECT_FALSE(OpenFreeTypeFont(GAME_FACE, 0, 0));
    EXPECT_FALSE(OpenFreeTypeFont(GAME_FACE, -5, 0));

    TTempFile empty("");
    EXPECT_FALSE(OpenFreeTypeFont(empty.Path(), 18, 0));
    TTempFile junk(std::string(4096, '\x5a'));
    EXPECT_FALSE(OpenFreeTypeFont(junk.Path(), 18, 0));
}

TEST_F(FreeTypeFont, EmbeddedDataFreeTypeRefusesGivesNone) {
    static const char junk[] = "not a font, not a font, not a font";
    static const char nothing[] = "";
    ASSERT_TRUE(RegisterEmbeddedFile(u"font-test/junk.ttf", junk, sizeof junk));
    ASSERT_TRUE(RegisterEmbeddedFile(u"font-test/empty.ttf", nothing, 0));
    EXPECT_FALSE(OpenFreeTypeFont(u"incbin::font-test/junk.ttf", 18, 0));
    EXPECT_FALSE(OpenFreeTypeFont(u"incbin::font-test/empty.ttf", 18, 0));
}

TEST_F(FreeTypeFont, GlyphIndicesAreFreeTypeIndicesLessOne) {
    Ref<TFreeTypeFont> font = OpenFreeTypeFont(GAME_FACE, 18, 0);
    ASSERT_TRUE(font);
    EXPECT_GE(font->GlyphIndexOf(u'A'), 0);
    EXPECT_GE(font->GlyphIndexOf(u'Ж'), 0);
    EXPECT_NE(font->GlyphIndexOf(u'A'), font->GlyphIndexOf(u'B'));
    EXPECT_EQ(font->GlyphIndexOf(u'\u4E00'), -1);  // a CJK ideograph the subset lacks
    EXPECT_EQ(font->GlyphIndexOf(-1), -1);
}

TEST_F(FreeTypeFont, GlyphIsRenderedOnceIntoAnAlphaPixmap) {
    Ref<TFreeTypeFont> font = OpenFreeTypeFont(GAME_FACE, 30, 0);
    ASSERT_TRUE(font);
    Ref<TFreeTypeGlyph> glyph = GlyphOf(*font, u'Ж');
    ASSERT_TRUE(glyph);
    EXPECT_EQ(font->GlyphAt(font->GlyphIndexOf(u'Ж')), glyph) << "second request, new object";

    Ref<TPixmap> pixmap = glyph->GlyphPixmap();
    ASSERT_TRUE(pixmap);
    EXPECT_EQ(pixmap->Format(), FormatAlpha8);
    int32_t x, y, w, h;
    glyph->PlacementRect(x, y, w, h);
    EXPECT_EQ(w, pixmap->Width());
    EXPECT_EQ(h, pixmap->Height());
    // A capital sits on the baseline: its top is below the line's top, its bottom at the ascent.
    EXPECT_GE(y, 0);
    EXPECT_NEAR(y + h, font->Ascender(), 1);
    EXPECT_GT(w, 15);
    EXPECT_GT(glyph->AdvanceWidth(), 15.0f);
    EXPECT_EQ(glyph->AdvanceWidth(), static_cast<float>(static_cast<int32_t>(glyph->AdvanceWidth())));
    EXPECT_GT(CountPixelsAbove(*pixmap, 250), 30) << "solid strokes are fully covered";
}

TEST_F(FreeTypeFont, SpaceHasAnAdvanceAndNoPixmap) {
    Ref<TFreeTypeFont> font = OpenFreeTypeFont(GAME_FACE, 30, 0);
    ASSERT_TRUE(font);
    Ref<TFreeTypeGlyph> space = GlyphOf(*font, u' ');
    ASSERT_TRUE(space);
    EXPECT_FALSE(space->GlyphPixmap());
    EXPECT_GT(space->AdvanceWidth(), 0.0f);
}

TEST_F(FreeTypeFont, BadIndicesGiveNoneAndFailedGlyphsStayEmpty) {
    Ref<TFreeTypeFont> font = OpenFreeTypeFont(GAME_FACE, 18, 0);
    ASSERT_TRUE(font);
    EXPECT_FALSE(font->GlyphAt(-1));
    EXPECT_FALSE(font->GlyphAt(font->GlyphCount()));
    // The last slot maps to FreeType index GlyphCount(), past the face's glyphs: it fails.
    Ref<TGlyph> failed = font->GlyphAt(font->GlyphCount() - 1);
    ASSERT_TRUE(failed);
    EXPECT_FALSE(failed->GlyphPixmap());
    EXPECT_EQ(failed->AdvanceWidth(), 0.0f);
    EXPECT_EQ(font->GlyphAt(font->GlyphCount() - 1), failed);
}

TEST_F(FreeTypeFont, PaddedStyleAddsATransparentBorder) {
    Ref<TFreeTypeFont> plain = OpenFreeTypeFont(DEJAVU_SANS, 24, 1);
    Ref<TFreeTypeFont> padded = OpenFreeTypeFont(DEJAVU_SANS, 24, 4);
    ASSERT_TRUE(plain && padded);
    EXPECT_EQ(padded->StyleFlags(), 4);
    for (char16_t character : {u'g', u'Я', u'.'}) {
        Ref<TFreeTypeGlyph> a = GlyphOf(*plain, character);
        Ref<TFreeTypeGlyph> b = GlyphOf(*padded, character);
        ASSERT_TRUE(a && b && a->pixmap && b->pixmap);
        EXPECT_EQ(b->x, a->x - 1);
        EXPECT_EQ(b->y, a->y - 1);
        EXPECT_EQ(b->width, a->width + 2);
        EXPECT_EQ(b->height, a->height + 2);
        EXPECT_EQ(b->pixmap->Width(), b->width);
        EXPECT_EQ(b->pixmap->Height(), b->height);
        EXPECT_EQ(b->advance, a->advance);
        for (int32_t y = 0; y < b->height; ++y) {
            for (int32_t x = 0; x < b->width; ++x) {
                const bool border = x == 0 || y == 0 || x == b->width - 1 || y == b->height - 1;
                const uint8_t expected = border ? 0 : *a->pixmap->PixelAddress(x - 1, y - 1);
                ASSERT_EQ(*b->pixmap->PixelAddress(x, y), expected)
                    << "at " << x << ", " << y << " of " << static_cast<char>(character);
            }
        }
    }
}

TEST_F(FreeTypeFont, BitmapFaceStepsDownToItsStrikeAndExpandsBits) {
    Ref<TFreeTypeFont> font = OpenFreeTypeFont(MISC_FIXED_7X14, 20, 0);
    ASSERT_TRUE(font) << "xfonts-base provides the 7x14 bitmap face";
    EXPECT_EQ(font->PixelSize(), 14);
    EXPECT_EQ(font->FontHeight(), 14);
    Ref<TFreeTypeGlyph> glyph = GlyphOf(*font, u'W');
    ASSERT_TRUE(glyph && glyph->pixmap);
    EXPECT_EQ(glyph->advance, 7.0f);
    int32_t set = 0;
    for (int32_t y = 0; y < glyph->height; ++y) {
        for (int32_t x = 0; x < glyph->width; ++x) {
            const uint8_t value = *glyph->pixmap->PixelAddress(x, y);
            ASSERT_TRUE(value == 0 || value == 255) << "1-bit pixels expand to 0 or 255";
            set += value == 255;
        }
    }
    EXPECT_GT(set, 10);

    // The only strike is 14 pixels: nothing smaller fits, and a huge request ends quickly.
    EXPECT_FALSE(OpenFreeTypeFont(MISC_FIXED_7X14, 13, 0));
    Ref<TFreeTypeFont> huge = OpenFreeTypeFont(MISC_FIXED_7X14, 0x7FFFFFFF, 0);
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->PixelSize(), 14);
}

}  // namespace
