#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "pixmap/pixmap.h"

namespace qrv::testing {

// Whether two renderers drew the same picture: identical, or no channel more than 2 apart and
// at most 0.5 % of the pixels different at all (edges of turned quads may round differently).
// On a failure the two pictures and a third one marking every differing pixel (white for more
// than 2 apart, grey for less) are saved as <stem>-fixed.png, <stem>-shader.png and
// <stem>-diff.png, and the message names them.
// A larger channel tolerance serves where only the share of differing pixels is bounded.
::testing::AssertionResult RenderersAgree(const Ref<TPixmap>& fixed, const Ref<TPixmap>& shader,
                                          const std::string& stem, int32_t channelTolerance = 2);

// A size x size window drawn by the named renderer and read back; none where the renderer
// cannot be chosen or its window not opened.
Ref<TPixmap> DrawnBy(const char* renderer, const std::function<void()>& draw, int32_t size = 256);

// A cleared scene of rectangles, turned and scaled shapes, ellipses, a concave polygon, every
// blend mode, points and lines; it draws within 200 x 200 pixels.
void DrawShapes();

}  // namespace qrv::testing
