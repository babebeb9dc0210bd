#include "kaz2d/gl/oval_vertices.h"

#include <algorithm>

namespace qrv {

namespace {
// Beyond this many vertices an ellipse looks no rounder.
constexpr double kMaxOvalVertices = 65536;
}  // namespace

int32_t OvalVertexCount(float x0, float y0, float x1, float y1) {
    const double sum = std::abs((x1 - x0) * 0.5) + std::abs((y1 - y0) * 0.5);
    // NaN fails the comparison and takes the minimum.
    const double bounded = sum >= 12.0 ? std::min(sum, kMaxOvalVertices) : 12.0;
    return static_cast<int32_t>(bounded) & ~3;
}

}  // namespace qrv
