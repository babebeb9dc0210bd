#include "kaz2d/image_font.h"

#include <algorithm>
#include <string>

namespace qrv {

void TImageGlyph::PlacementRect(int32_t& outX, int32_t& outY, int32_t& outWidth,
                                int32_t& outHeight) const {
    outX = x;
    outY = y;
    outWidth = width;
    outHeight = height;
}

int32_t TImageFont::StyleFlags() const { return sourceFont ? sourceFont->StyleFlags() : 0; }

int32_t TImageFont::FontHeight() const {
    return sourceFont ? sourceFont->FontHeight() : BUILT_IN_HEIGHT;
}

int32_t TImageFont::GlyphIndexOf(int32_t character) const {
    if (sourceFont) return sourceFont->GlyphIndexOf(character);
    if (character < 32 || character >= 32 + BUILT_IN_GLYPHS) return -1;
    return character - 32;
}

Ref<TImageGlyph> TImageFont::GlyphAt(int32_t index) {
    if (index < 0 || index >= GlyphCount()) return nullptr;
    Ref<TImageGlyph>& slot = glyphs[static_cast<size_t>(index)];
    if (!slot && sourceFont) slot = MakeGlyph(index);
    return slot;
}

Ref<TImageGlyph> TImageFont::MakeGlyph(int32_t index) const {
    auto glyph = std::make_shared<TImageGlyph>();
    const Ref<TGlyph> source = sourceFont->GlyphAt(index);
    if (!source) return glyph;
    glyph->advance = source->AdvanceWidth();
    source->PlacementRect(glyph->x, glyph->y, glyph->width, glyph->height);
    // The image gets its own copy, so that locking it for writing leaves the glyph cache alone.
    if (const Ref<TPixmap> pixmap = source->GlyphPixmap()) {
        glyph->image = TImage::Load(pixmap->Duplicate(), imageFlags, 0, 0, 0);
    }
    return glyph;
}

void TImageFont::DrawString(std::u16string_view text, float x, float y, float ix, float iy,
                            float jx, float jy) {
    for (const char16_t character : text) {
        const Ref<TImageGlyph> glyph = GlyphAt(GlyphIndexOf(character));
        if (!glyph) continue;
        if (const Ref<TImage>& image = glyph->image) {
            if (const Ref<TImageFrame> frame = image->Frame(0)) {
                const auto gx = static_cast<float>(glyph->x);
                const auto gy = static_cast<float>(glyph->y);
                frame->Draw(0.0f, 0.0f, static_cast<float>(image->width),
                            static_cast<float>(image->height), x + ix * gx + iy * gy,
                            y + jx * gx + jy * gy);
            }
        }
        x += ix * glyph->advance;
        y += jx * glyph->advance;
    }
}

Ref<TImageFont> TImageFont::FromUrl(const Ref<TObject>& url, int32_t size, int32_t style) {
    Ref<TFont> source = FontFromLoaders(url, size, style);
    if (!source) return nullptr;
    auto font = std::make_shared<TImageFont>();
    font->glyphs.resize(static_cast<size_t>(std::max(source->GlyphCount(), 0)));
    font->imageFlags = (style & FONT_STYLE_PADDED) ? IMG_FILTERED | IMG_MIPMAPPED : 0;
    font->sourceFont = std::move(source);
    return font;
}

Ref<TImageFont> TImageFont::FromUrl(std::u16string_view url, int32_t size, int32_t style) {
    return FromUrl(MakeText(std::u16string(url)), size, style);
}

}  // namespace qrv
