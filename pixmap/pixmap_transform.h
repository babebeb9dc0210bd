#pragma once

#include <cstdint>

#include "pixmap/pixmap.h"

namespace qrv {

// An RGBA copy in which pixels of the key colour become transparent. Each keyed pixel takes
// the average colour of the unkeyed pixels of its 3 x 3 neighbourhood (black when there are
// none) so that filtered edges do not bleed the key colour; every other pixel becomes opaque.
[[nodiscard]] Ref<TPixmap> KeyOutColor(const Ref<TPixmap>& pixmap, int32_t red, int32_t green,
                                       int32_t blue);
// Its two steps, for decoders that key rows while they write them: MarkKeyedRun gives the
// key's pixels of an RGBA run alpha 0 and every other pixel alpha 255, writing only pixels
// that change (true when one was keyed); SpreadKeyedColours then gives every pixel of alpha 0
// the average colour of its opaque neighbours.
bool MarkKeyedRun(uint8_t* rgba, int32_t count, int32_t red, int32_t green, int32_t blue);
void SpreadKeyedColours(TPixmap& rgba);

// FlipHorizontal and FlipVertical: mirrored copies of the same size and format, left to right
// and top to bottom; none for a none pixmap.
[[nodiscard]] Ref<TPixmap> FlipHorizontal(const Ref<TPixmap>& pixmap);
[[nodiscard]] Ref<TPixmap> FlipVertical(const Ref<TPixmap>& pixmap);

// Bilinear resampling, in single precision, into a new pixmap of the same format. None for a
// none or empty source or a size below 1 x 1.
[[nodiscard]] Ref<TPixmap> ResampleBilinear(const Ref<TPixmap>& pixmap, int32_t width,
                                            int32_t height);

}  // namespace qrv
