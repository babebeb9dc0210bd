#pragma once

#include <cstdint>

#include "pixmap/pixmap.h"

namespace qrv {

// The 8 x 16 font GLPrintText draws in, compiled in as "gldrawtextfont.bin".
inline constexpr int32_t GL_TEXT_GLYPH_WIDTH = 8;
inline constexpr int32_t GL_TEXT_GLYPH_HEIGHT = 16;

// Registers the embedded "gldrawtextfont.bin".
void RegisterGLTextFont();

// The font's 96 glyphs (characters 32..127) side by side in a 1024 x 16 RGBA pixmap, glyph j
// from column 8 j: opaque white where a pixel is set, else all zero. None when the font is not
// registered.
[[nodiscard]] Ref<TPixmap> GLTextFontPixmap();

}  // namespace qrv
