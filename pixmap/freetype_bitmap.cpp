#include "pixmap/freetype_bitmap.h"

#include <cstdlib>
#include <cstring>

namespace qrv {

namespace {

// FreeType's pitch is negative for bitmaps stored bottom row first; the top row then starts
// at the far end of the buffer.
const uint8_t* TopRow(const FT_Bitmap& bitmap) {
    if (bitmap.pitch >= 0) return bitmap.buffer;
    return bitmap.buffer + static_cast<ptrdiff_t>(-bitmap.pitch) * (bitmap.rows - 1);
}

void CopyCoverageRows(const FT_Bitmap& bitmap, TPixmap& pixmap) {
    const uint8_t* source = TopRow(bitmap);
    for (int32_t row = 0; row < pixmap.Height(); ++row, source += bitmap.pitch) {
        std::memcpy(pixmap.PixelAddress(0, row), source, static_cast<size_t>(pixmap.Width()));
    }
}

void ExpandMonoRows(const FT_Bitmap& bitmap, TPixmap& pixmap) {
    const uint8_t* source = TopRow(bitmap);
    for (int32_t row = 0; row < pixmap.Height(); ++row, source += bitmap.pitch) {
        uint8_t* target = pixmap.PixelAddress(0, row);
        for (int32_t column = 0; column < pixmap.Width(); ++column) {
            const bool set = source[column >> 3] & (0x80 >> (column & 7));
            target[column] = set ? 255 : 0;
        }
    }
}

}  // namespace

FT_Library FreeTypeLibrary() {
    static FT_Library library = nullptr;
    if (!library && FT_Init_FreeType(&library) != 0) library = nullptr;
    return library;
}

Ref<TPixmap> PixmapFromGlyphBitmap(const FT_Bitmap& bitmap) {
    const bool coverage = bitmap.pixel_mode == FT_PIXEL_MODE_GRAY;
    const bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
    if (!coverage && !mono) return nullptr;
    if (bitmap.width == 0 || bitmap.rows == 0 || !bitmap.buffer) return nullptr;
    const unsigned rowBytes = coverage ? bitmap.width : (bitmap.width + 7) / 8;
    if (static_cast<unsigned>(std::abs(bitmap.pitch)) < rowBytes) return nullptr;
    if (!PixmapSizeFits(bitmap.width, bitmap.rows)) return nullptr;

    Ref<TPixmap> pixmap = TPixmap::NewPixmap(static_cast<int32_t>(bitmap.width),
                                             static_cast<int32_t>(bitmap.rows), FormatAlpha8, 4);
    if (!pixmap) return nullptr;
    if (coverage) {
        CopyCoverageRows(bitmap, *pixmap);
    } else {
        ExpandMonoRows(bitmap, *pixmap);
    }
    return pixmap;
}

Ref<TPixmap> PaddedGlyphPixmap(const TPixmap& pixmap) {
    // NewPixmap clears the memory, which makes the border transparent.
    Ref<TPixmap> padded =
        TPixmap::NewPixmap(pixmap.Width() + 2, pixmap.Height() + 2, pixmap.Format(), 4);
    if (padded) padded->PasteFrom(pixmap, 1, 1);
    return padded;
}

}  // namespace qrv
