#include "kaz2d/text_drawing.h"

#include <algorithm>
#include <limits>

#include "kaz2d/kaz2d_graphics.h"
#include "kaz2d/kaz2d_module.h"

namespace qrv {

Ref<TImageFont> OpenImageFont(const Ref<TObject>& url, int32_t size, int32_t style) {
    return TImageFont::FromUrl(url, size, style);
}

Ref<TImageFont> OpenImageFont(std::u16string_view url, int32_t size, int32_t style) {
    return TImageFont::FromUrl(url, size, style);
}

void DrawTextAt(std::u16string_view text, float x, float y) {
    const Ref<TKaz2DGraphics> c = TKaz2DGraphics::CurrentContext();
    if (!c || !c->imageFont) return;
    // The handle fields hold the negated handle, so adding them moves the text up and left.
    const float penX = x + c->originX + c->handleX * c->ix + c->handleY * c->iy;
    const float penY = y + c->originY + c->handleX * c->jx + c->handleY * c->jy;
    const Ref<TImageFont> font = c->imageFont;  // kept alive while it draws
    font->DrawString(text, penX, penY, c->ix, c->iy, c->jx, c->jy);
}

int32_t MeasureTextIn(TImageFont& font, std::u16string_view text) {
    constexpr float LARGEST = static_cast<float>(std::numeric_limits<int32_t>::max() / 2);
    int32_t width = 0;
    for (const char16_t character : text) {
        const Ref<TImageGlyph> glyph = font.GlyphAt(font.GlyphIndexOf(character));
        if (!glyph) continue;
        const float sum = glyph->advance + static_cast<float>(width);
        // Truncated toward zero; kept in range so that the conversion stays defined.
        width = static_cast<int32_t>(std::max(-LARGEST, std::min(sum, LARGEST)));
    }
    return width;
}

int32_t MeasureText(std::u16string_view text) {
    const Ref<TImageFont> font = CurrentFont();
    return font ? MeasureTextIn(*font, text) : 0;
}

int32_t FontLineHeight() {
    const Ref<TImageFont> font = CurrentFont();
    return font ? font->FontHeight() : 0;
}

}  // namespace qrv
