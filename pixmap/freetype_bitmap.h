#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include "pixmap/pixmap.h"

namespace qrv {

// The process-wide FreeType library, created on first use and never released; null when
// FreeType cannot start (a later call tries again).
FT_Library FreeTypeLibrary();

// An owned FormatAlpha8 copy of a rendered glyph bitmap: 8-bit coverage is copied, 1-bit
// bitmaps (most significant bit leftmost) become 255 for a set bit and 0 for a clear one. None
// for an empty bitmap or another pixel mode.
[[nodiscard]] Ref<TPixmap> PixmapFromGlyphBitmap(const FT_Bitmap& bitmap);

// A copy two pixels wider and higher with the glyph at (1, 1) inside a transparent border.
[[nodiscard]] Ref<TPixmap> PaddedGlyphPixmap(const TPixmap& pixmap);

}  // namespace qrv
