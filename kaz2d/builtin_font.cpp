#include "core/failure.h"
#include "kaz2d/image_font.h"
#include "pixmap/pixmap_loader.h"
#include "stream/url_failure.h"
#include "stream/embedded_files.h"

namespace qrv {

namespace {

constexpr int32_t STRIP_WIDTH = TImageFont::BUILT_IN_GLYPHS * TImageFont::BUILT_IN_WIDTH;
constexpr int32_t FONT_BYTES = TImageFont::BUILT_IN_GLYPHS * TImageFont::BUILT_IN_HEIGHT;

// All 96 glyphs side by side in one 768 x 16 strip. Byte r * 96 + g holds row r of glyph g;
// its least significant bit is the leftmost pixel.
Ref<TPixmap> DecodeGlyphStrip(const uint8_t* bits) {
    Ref<TPixmap> strip =
        TPixmap::NewPixmap(STRIP_WIDTH, TImageFont::BUILT_IN_HEIGHT, FormatRGBA8888, 4);
    if (!strip) return nullptr;
    for (int32_t row = 0; row < TImageFont::BUILT_IN_HEIGHT; ++row) {
        for (int32_t glyph = 0; glyph < TImageFont::BUILT_IN_GLYPHS; ++glyph) {
            const uint8_t byte = bits[row * TImageFont::BUILT_IN_GLYPHS + glyph];
            for (int32_t bit = 0; bit < 8; ++bit) {
                const uint32_t argb = (byte >> bit) & 1 ? 0xFFFFFFFFu : 0u;
                strip->SetPixelARGB(glyph * TImageFont::BUILT_IN_WIDTH + bit, row, argb);
            }
        }
    }
    return strip;
}

}  // namespace

Ref<TImageFont> TImageFont::BuiltIn() {
    const TEmbeddedFile* file = FindEmbeddedFile(u"krastfont.bin");
    if (!file) {
        SetLastFailure("the built-in font's file \"krastfont.bin\" is not registered (call "
                       "InitFramework() first)");
        return nullptr;
    }
    if (file->size < FONT_BYTES) {
        SetLastFailure("\"krastfont.bin\": " + TruncatedCause(file->size));
        return nullptr;
    }
    const Ref<TPixmap> strip = DecodeGlyphStrip(file->data);
    if (!strip) {
        SetLastFailure("\"krastfont.bin\": no memory for the glyphs");
        return nullptr;
    }

    auto font = std::make_shared<TImageFont>();
    font->glyphs.resize(BUILT_IN_GLYPHS);
    for (int32_t index = 0; index < BUILT_IN_GLYPHS; ++index) {
        const Ref<TPixmap> cell =
            strip->SubRegion(index * BUILT_IN_WIDTH, 0, BUILT_IN_WIDTH, BUILT_IN_HEIGHT);
        auto glyph = std::make_shared<TImageGlyph>();
        glyph->image = TImage::Load(cell->Duplicate(), 0, 0, 0, 0);
        glyph->advance = static_cast<float>(BUILT_IN_WIDTH);
        glyph->width = BUILT_IN_WIDTH;
        glyph->height = BUILT_IN_HEIGHT;
        font->glyphs[static_cast<size_t>(index)] = std::move(glyph);
    }
    return font;
}

}  // namespace qrv
