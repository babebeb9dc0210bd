#pragma once

#include <array>

#include "core/object.h"
#include "pixmap/pixmap.h"

namespace qrv {

// One shape stored in a collision layer: four corners with their texture coordinates and, for
// an image with alpha, the frame's pixmap that decides which pixels are solid. The layer's
// list supplies the link to the next quad.
struct TQuad {
    static constexpr int kChannels = 4;  // x, y, u, v per corner
    static constexpr int kCorners = 4;

    // Stores the corners top-left, top-right, bottom-right, bottom-left of the untransformed
    // shape with texture coordinates (0, 0), (1, 0), (1, 1), (0, 1), and their bounding box.
    void SetCorners(const std::array<float, 2 * kCorners>& corners);

    // The caller's object attached to the shape; may be none.
    Ref<TObject> id;
    // None when the shape is solid throughout.
    Ref<TPixmap> pixmap;
    float minX = 0.0f;
    float minY = 0.0f;
    float maxX = 0.0f;
    float maxY = 0.0f;
    std::array<float, kChannels * kCorners> vertices{};
};

// True when the bounding boxes meet (edges included; boxes with a NaN never meet) and the two
// shapes share at least one solid pixel.
bool QuadsCollide(const TQuad& a, const TQuad& b);

}  // namespace qrv
