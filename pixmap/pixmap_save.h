#pragma once

#include <cstdint>
#include <string_view>

#include "core/object.h"
#include "pixmap/pixmap.h"

namespace qrv {

// Writes the pixmap as a PNG through a stream opened for writing on the URL. Grey, RGB and
// RGBA pixmaps are written as they are; other formats are converted to RGBA when they have
// alpha bits, else to RGB. compression is zlib's level, 0 (none) to 9 (smallest). Gives false
// for a none or empty pixmap, a level out of range, a URL that does not open, or a failed
// write; the stream is closed in every case.
[[nodiscard]] bool SavePixmapPNG(const Ref<TPixmap>& pixmap, const Ref<TObject>& url,
                                 int32_t compression);
[[nodiscard]] bool SavePixmapPNG(const Ref<TPixmap>& pixmap, std::u16string_view url,
                                 int32_t compression);

// Writes the pixmap as a JPEG: grey pixmaps as greyscale, every other format converted to
// RGB (alpha is dropped). quality runs from 1 to 100; progressive asks for a picture stored
// in several scans of growing detail. Gives false as SavePixmapPNG does.
[[nodiscard]] bool SavePixmapJPEG(const Ref<TPixmap>& pixmap, const Ref<TObject>& url,
                                  int32_t quality, bool progressive = false);
[[nodiscard]] bool SavePixmapJPEG(const Ref<TPixmap>& pixmap, std::u16string_view url,
                                  int32_t quality, bool progressive = false);

}  // namespace qrv
