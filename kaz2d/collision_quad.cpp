#include "kaz2d/collision_quad.h"

#include <algorithm>
#include <cmath>

#include "kaz2d/polygon_scan.h"

namespace qrv {

namespace {

constexpr std::array<float, 2 * TQuad::kCorners> kCornerTexture = {0, 0, 1, 0, 1, 1, 0, 1};

// The least and greatest of the four x (first 0) or y (first 1) values. A NaN among them makes
// both NaN, so that a shape placed at a NaN meets no box.
void Extent(const std::array<float, 2 * TQuad::kCorners>& corners, int first, float& low,
            float& high) {
    low = corners[first];
    high = corners[first];
    for (size_t i = first + 2; i < corners.size(); i += 2) {
        const float value = corners[i];
        if (std::isnan(value)) {
            low = high = value;
            return;
        }
        low = std::min(low, value);
        high = std::max(high, value);
    }
}

}  // namespace

void TQuad::SetCorners(const std::array<float, 2 * kCorners>& corners) {
    for (int i = 0; i < kCorners; ++i) {
        vertices[i * kChannels + 0] = corners[i * 2];
        vertices[i * kChannels + 1] = corners[i * 2 + 1];
        vertices[i * kChannels + 2] = kCornerTexture[i * 2];
        vertices[i * kChannels + 3] = kCornerTexture[i * 2 + 1];
    }
    Extent(corners, 0, minX, maxX);
    Extent(corners, 1, minY, maxY);
}

namespace {

// Every comparison with a NaN is false, so a box with a NaN meets nothing.
bool BoxesOverlap(const TQuad& a, const TQuad& b) {
    return a.maxX >= b.minX && a.maxY >= b.minY && a.minX <= b.maxX && a.minY <= b.maxY;
}

}  // namespace

bool QuadsCollide(const TQuad& a, const TQuad& b) {
    return BoxesOverlap(a, b) &&
           PolygonsShareSolidPixel(a.vertices, a.pixmap.get(), b.vertices, b.pixmap.get());
}

}  // namespace qrv
