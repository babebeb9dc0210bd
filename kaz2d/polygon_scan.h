#pragma once

#include <span>

#include "pixmap/pixmap.h"

namespace qrv {

// Scan-converts two polygons together, scanline by scanline, and reports whether some pixel is
// solid in both. Each polygon is given as x, y, u, v per vertex, in either winding; without a
// pixmap every pixel it covers is solid, with one a pixel is solid where the texel under its
// centre has alpha 128 or more. A pixel belongs to a polygon when its truncated coordinates lie
// between the truncated edges, so shapes that only touch along an edge share no pixel.
bool PolygonsShareSolidPixel(std::span<const float> vertices1, const TPixmap* pixmap1,
                             std::span<const float> vertices2, const TPixmap* pixmap2);

}  // namespace qrv
