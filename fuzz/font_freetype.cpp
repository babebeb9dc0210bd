// The FreeType font loader on faces read from memory: the input is served as the URL
// "fuzzfont::face" by a stream factory of this program, opened at a pixel size and style the
// first byte picks, and glyphs are rendered for Latin, Cyrillic and astral characters, for
// the first and last glyph indices and for indices out of range. Every glyph must describe
// its own pixmap, and what the font says about itself must hold together.
#include <climits>
#include <string>

#include "pixmap/freetype_font.h"
#include "pixmap/pixel_format.h"
#include "stream/ram_stream.h"
#include "stream/stream_factory.h"
#include "support/fuzz_check.h"

namespace {

using qrv::Ref;

const uint8_t* faceData = nullptr;
int32_t faceSize = 0;

// "fuzzfont::<anything>": a memory stream over the input being tried.
class TFuzzFontFactory final : public qrv::TStreamFactory {
public:
    Ref<qrv::TStream> TryOpen(const Ref<qrv::TObject>&, std::u16string_view protocol, std::u16string_view,
                              bool, bool writeable) override {
        if (protocol != u"fuzzfont" || writeable) return nullptr;
        return qrv::TRamStream::OverMemory(faceData, faceSize);
    }
};

void CheckGlyph(qrv::TFreeTypeFont& font, int32_t index) {
    const Ref<qrv::TGlyph> glyph = font.GlyphAt(index);
    if (index < 0 || index >= font.GlyphCount()) {
        FUZZ_CHECK(!glyph, "a glyph for index " + std::to_string(index) + " out of range");
        return;
    }
    FUZZ_CHECK(glyph && font.GlyphAt(index) == glyph, "a glyph in range is not kept");
    int32_t x = 0, y = 0, width = 0, height = 0;
    glyph->PlacementRect(x, y, width, height);
    const Ref<qrv::TPixmap> pixmap = glyph->GlyphPixmap();
    if (!pixmap) {
        FUZZ_CHECK(width == 0 || height == 0, "a glyph with an area but no pixmap");
        return;
    }
    FUZZ_CHECK(qrv::PixmapFormat(pixmap) == qrv::FormatAlpha8, "glyph pixmap format");
    FUZZ_CHECK(qrv::PixmapWidth(pixmap) == width && qrv::PixmapHeight(pixmap) == height,
               "glyph placement differs from its pixmap");
    // Touch every pixel, so a pixmap smaller than it claims is found.
    unsigned sum = 0;
    for (int32_t row = 0; row < height; ++row) {
        const uint8_t* pixels = qrv::PixelAddress(pixmap, 0, row);
        for (int32_t column = 0; column < width; ++column) sum += pixels[column];
    }
    (void)sum;
}

void CheckCharacters(qrv::TFreeTypeFont& font, std::u32string_view characters) {
    for (const char32_t c : characters) {
        const int32_t index = font.GlyphIndexOf(static_cast<int32_t>(c));
        FUZZ_CHECK(index >= -1 && index < font.GlyphCount(), "glyph index of a character out of range");
        if (index >= 0) CheckGlyph(font, index);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = [] {
        qrv::InitFreeTypeModule();
        qrv::NewStreamFactory<TFuzzFontFactory>();
        return true;
    }();
    (void)ready;
    if (size < 2 || size > 1 << 22) return 0;
    // The first byte: pixel size 1 to 64 and the padded style.
    const int32_t pixelSize = 1 + data[0] % 64;
    const int32_t style = data[0] & 0x40 ? qrv::FONT_STYLE_PADDED : 0;
    faceData = data + 1;
    faceSize = static_cast<int32_t>(size - 1);

    const Ref<qrv::TFreeTypeFont> font = qrv::TFreeTypeFont::Open(u"fuzzfont::face", pixelSize, style);
    if (!font) return 0;
    FUZZ_CHECK(font->IsMemoryFace(), "a memory URL opened as a file");
    FUZZ_CHECK(font->PixelSize() >= 1 && font->PixelSize() <= pixelSize, "pixel size above the request");
    FUZZ_CHECK(font->StyleFlags() == style, "style flags");
    CheckCharacters(*font, U"Tavika ZORVAK v0.1. Wy,gj!?");
    CheckCharacters(*font, U"Привет, шпион! ЁёЙй");
    CheckCharacters(*font, U"\U0001F600\U00010348\U0010FFFF\uFFFD");
    for (const int32_t character : {-1, INT_MIN, 0x110000, INT_MAX}) {
        FUZZ_CHECK(font->GlyphIndexOf(character) >= -1 && font->GlyphIndexOf(character) < font->GlyphCount(),
                   "glyph index of a value beyond Unicode");
    }
    const int32_t count = font->GlyphCount();
    for (int32_t index = 0; index < count && index < 8; ++index) CheckGlyph(*font, index);
    for (const int32_t index : {count - 1, count, count + 1, -1, INT_MIN, INT_MAX}) CheckGlyph(*font, index);
    return 0;
}
