#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>

namespace qrv {

// Vertices of the ellipse in the box (x0, y0)-(x1, y1): the half-sides' sum, at least 12,
// rounded down to a multiple of 4.
int32_t OvalVertexCount(float x0, float y0, float x1, float y1);

// Calls emit(x, y) for each of the oval's OvalVertexCount points, counter-clockwise on screen from
// the rightmost one; both OpenGL renderers draw ovals through it.
template <typename Emit>
void ForEachOvalVertex(float x0, float y0, float x1, float y1, Emit&& emit) {
    const int32_t n = OvalVertexCount(x0, y0, x1, y1);
    const float xr = (x1 - x0) * 0.5f;
    const float yr = (y1 - y0) * 0.5f;
    const float cx = x0 + xr;
    const float cy = y0 + yr;
    for (int32_t i = 0; i < n; ++i) {
        const double angle = i * 360.0 / n * std::numbers::pi / 180.0;
        emit(xr * static_cast<float>(std::cos(angle)) + cx, cy - yr * static_cast<float>(std::sin(angle)));
    }
}

}  // namespace qrv
