#pragma once

#include <cstdint>
#include <vector>

#include "core/object.h"
#include "kaz2d/image.h"

namespace qrv {

// Pixel-exact collisions of images and rectangles placed as they would be drawn: at the
// drawing position plus the Kaz2D origin, turned and scaled by the drawing matrix. They need no
// window: the masks are the images' pixmaps, and without a current context shapes are placed
// as a new context would draw them (origin 0, no turn, scale 1). Shapes are
// written into 32 collision layers; a later shape is tested against the layers it names. Layer
// masks are bit sets: bit k selects layer k.
inline constexpr int32_t COLLISION_LAYER_COUNT = 32;

// The ids of the shapes a collision test hit.
using TCollisionIds = std::vector<Ref<TObject>>;

// Empties every layer whose bit is set, or all of them for mask 0.
void ResetCollisionLayers(uint32_t layerMask);

// Tests the image's frame at (x, y), under its handle, against the shapes stored in the layers
// of testMask, then stores it with id in the layers of writeMask. Returns the ids of the shapes
// hit, layer by layer, newest first within a layer; a shape stored in two tested layers counts
// twice. Frames with alpha collide only where alpha is at least one half; frames without alpha
// are solid. A missing image or frame collides with nothing and is not stored.
[[nodiscard]] TCollisionIds CollideImageAt(const Ref<TImage>& image, float x, float y,
                                           int32_t frame, uint32_t testMask, uint32_t writeMask,
                                           const Ref<TObject>& id);
// The same for a solid rectangle with its top left corner at (x, y).
[[nodiscard]] TCollisionIds CollideRectAt(float x, float y, float width, float height,
                                          uint32_t testMask, uint32_t writeMask,
                                          const Ref<TObject>& id);

// Whether the two images share a solid pixel under the current drawing matrix. Uses layer 31,
// which it empties first.
[[nodiscard]] bool ImagesOverlap(const Ref<TImage>& image1, float x1, float y1, int32_t frame1,
                                 const Ref<TImage>& image2, float x2, float y2, int32_t frame2);
// The same with each image turned and scaled on its own (the origin still applies); the
// drawing rotation and scale are left as they are. Uses layer 31, which it empties first.
[[nodiscard]] bool ImagesOverlapTransformed(const Ref<TImage>& image1, float x1, float y1,
                                            int32_t frame1, float rotation1, float scaleX1,
                                            float scaleY1, const Ref<TImage>& image2, float x2,
                                            float y2, int32_t frame2, float rotation2,
                                            float scaleX2, float scaleY2);

}  // namespace qrv
