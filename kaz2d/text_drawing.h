#pragma once

#include <cstdint>
#include <string_view>

#include "kaz2d/image_font.h"

namespace qrv {

// The image font for the URL at a pixel height, or none when no font loader opens it, with the
// reason in LastFailure (see FontFromLoaders).
[[nodiscard]] Ref<TImageFont> OpenImageFont(const Ref<TObject>& url, int32_t size, int32_t style);
[[nodiscard]] Ref<TImageFont> OpenImageFont(std::u16string_view url, int32_t size, int32_t style);

// Draws the text with the current context's font. The pen starts at (x, y) plus the origin,
// with the drawing handle mapped by the matrix placed there, as for shapes. Nothing without a
// current context.
void DrawTextAt(std::u16string_view text, float x, float y);

// The width of the text in the current font: the advances summed, truncated to whole pixels
// after every addition. Characters without a glyph add nothing; 0 without a current context.
int32_t MeasureText(std::u16string_view text);
// The same in a given font.
int32_t MeasureTextIn(TImageFont& font, std::u16string_view text);

// The current font's line height; 0 without a current context.
int32_t FontLineHeight();

}  // namespace qrv
