#pragma once

#include <cstdint>

#include "kaz2d/kaz2d_driver.h"

namespace qrv {

// The blend mode a draw is sent with, given the mode asked for. A draw whose every fragment is
// opaque (texels of alpha 255 at full draw alpha) replaces what is below it under alpha blending
// (source times 1 plus destination times 0) and passes the mask's alpha test, so it is sent
// unblended: the same pixels, and the software rasteriser skips reading the destination.
// Both OpenGL renderers decide with it.
[[nodiscard]] constexpr int32_t BlendForDraw(int32_t requested, bool opaqueSource,
                                             uint8_t drawAlpha) {
    const bool replaces = opaqueSource && drawAlpha == 255;
    if (replaces && (requested == BLEND_ALPHA || requested == BLEND_MASK)) return BLEND_SOLID;
    return requested;
}

}  // namespace qrv
