#include "kaz2d/gl/gl_text_font.h"

#include "stream/embedded_files.h"

namespace qrv {

void RegisterGLEmbeddedFiles();

namespace {
constexpr int32_t kGlyphCount = 96;
constexpr int32_t kFontBytes = kGlyphCount * GL_TEXT_GLYPH_HEIGHT;
}  // namespace

void RegisterGLTextFont() {
    RegisterGLEmbeddedFiles();
}

// The file holds 16 rows of 96 bytes, byte j of row i being row i of character 32 + j, with
// bit k the pixel at column k.
Ref<TPixmap> GLTextFontPixmap() {
    const uint8_t* bits = EmbeddedFileData(u"gldrawtextfont.bin");
    if (!bits || EmbeddedFileSize(u"gldrawtextfont.bin") < kFontBytes) return nullptr;
    Ref<TPixmap> pixmap = TPixmap::NewPixmap(1024, GL_TEXT_GLYPH_HEIGHT, FormatRGBA8888, 4);
    for (int32_t row = 0; row < GL_TEXT_GLYPH_HEIGHT; ++row)
        for (int32_t glyph = 0; glyph < kGlyphCount; ++glyph)
            for (int32_t bit = 0; bit < GL_TEXT_GLYPH_WIDTH; ++bit)
                if (bits[row * kGlyphCount + glyph] & (1 << bit))
                    pixmap->SetPixelARGB(glyph * GL_TEXT_GLYPH_WIDTH + bit, row, 0xFFFFFFFF);
    return pixmap;
}

}  // namespace qrv
