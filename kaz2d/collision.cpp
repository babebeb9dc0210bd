#include "kaz2d/collision.h"

#include <array>
#include <forward_list>

#include "kaz2d/collision_quad.h"
#include "kaz2d/kaz2d_graphics.h"
#include "pixmap/pixel_format.h"

namespace qrv {

namespace {

constexpr uint32_t kOverlapLayer = 0x80000000u;

// Layers hold their quads newest first. Emptied quads wait in the free pool and are reused
// before new ones are made; splicing list nodes moves them without copying.
struct TCollisionState {
    std::array<std::forward_list<TQuad>, COLLISION_LAYER_COUNT> layers;
    std::forward_list<TQuad> freeQuads;
};

TCollisionState& State() {
    static TCollisionState state;
    return state;
}

bool LayerSelected(uint32_t mask, int layer) {
    return ((mask >> layer) & 1u) != 0;
}

TQuad& PushQuad(std::forward_list<TQuad>& layer) {
    std::forward_list<TQuad>& pool = State().freeQuads;
    if (pool.empty())
        layer.emplace_front();
    else
        layer.splice_after(layer.before_begin(), pool, pool.before_begin());
    return layer.front();
}

// The drawing matrix and origin that shapes are placed with.
struct TPlacement {
    TCollisionMatrix matrix;
    float originX = 0.0f;
    float originY = 0.0f;
};

// The current context's; without one, those a new context starts with (no turn, scale 1,
// origin 0). Collisions need nothing else of a context: the shapes' masks are the images'
// pixmaps, so they work the same with a window or without.
TPlacement CurrentPlacement() {
    const TKaz2DGraphics* c = TKaz2DGraphics::Current();
    if (!c || !c->driver) return {};
    return {collisionMatrix, c->originX, c->originY};
}

// The shape of size w x h whose local point (hx, hy) is placed at (x, y) plus the origin, its
// corners mapped by the drawing matrix.
TQuad PlacedQuad(const TPlacement& placement, float x, float y, float w, float h, float hx,
                 float hy) {
    const TCollisionMatrix& m = placement.matrix;
    const float tx = x + placement.originX;
    const float ty = y + placement.originY;
    const std::array<float, 8> local = {-hx, -hy, w - hx, -hy, w - hx, h - hy, -hx, h - hy};
    std::array<float, 8> corners{};
    for (size_t i = 0; i < local.size(); i += 2) {
        corners[i] = tx + local[i] * m.ix + local[i + 1] * m.iy;
        corners[i + 1] = ty + local[i] * m.jx + local[i + 1] * m.jy;
    }
    TQuad quad;
    quad.SetCorners(corners);
    return quad;
}

TCollisionIds Collide(const TQuad& shape, uint32_t testMask, uint32_t writeMask) {
    TCollisionState& state = State();
    TCollisionIds hits;
    for (int k = 0; k < COLLISION_LAYER_COUNT; ++k) {
        if (!LayerSelected(testMask, k)) continue;
        for (const TQuad& stored : state.layers[k])
            if (QuadsCollide(shape, stored)) hits.push_back(stored.id);
    }
    for (int k = 0; k < COLLISION_LAYER_COUNT; ++k)
        if (LayerSelected(writeMask, k)) PushQuad(state.layers[k]) = shape;
    return hits;
}

TCollisionIds CollideImagePlaced(const TPlacement& placement, const Ref<TImage>& image, float x,
                                 float y, int32_t frame, uint32_t testMask, uint32_t writeMask,
                                 const Ref<TObject>& id) {
    if (!image || !image->HasFrame(frame)) return {};
    TQuad shape = PlacedQuad(placement, x, y, static_cast<float>(image->width),
                             static_cast<float>(image->height), image->handleX, image->handleY);
    shape.id = id;
    Ref<TPixmap> pixmap = image->Lock(frame, true, false);
    if (pixmap && AlphaBits(pixmap->Format()) > 0) shape.pixmap = std::move(pixmap);
    return Collide(shape, testMask, writeMask);
}

}  // namespace

void ResetCollisionLayers(uint32_t layerMask) {
    TCollisionState& state = State();
    for (int k = 0; k < COLLISION_LAYER_COUNT; ++k) {
        if (layerMask != 0 && !LayerSelected(layerMask, k)) continue;
        // Pooled quads keep no ids or pixmaps alive.
        for (TQuad& quad : state.layers[k]) {
            quad.id = nullptr;
            quad.pixmap = nullptr;
        }
        state.freeQuads.splice_after(state.freeQuads.before_begin(), state.layers[k]);
    }
}

TCollisionIds CollideImageAt(const Ref<TImage>& image, float x, float y, int32_t frame,
                             uint32_t testMask, uint32_t writeMask, const Ref<TObject>& id) {
    return CollideImagePlaced(CurrentPlacement(), image, x, y, frame, testMask, writeMask, id);
}

TCollisionIds CollideRectAt(float x, float y, float width, float height, uint32_t testMask,
                            uint32_t writeMask, const Ref<TObject>& id) {
    TQuad shape = PlacedQuad(CurrentPlacement(), x, y, width, height, 0.0f, 0.0f);
    shape.id = id;
    return Collide(shape, testMask, writeMask);
}

bool ImagesOverlap(const Ref<TImage>& image1, float x1, float y1, int32_t frame1,
                   const Ref<TImage>& image2, float x2, float y2, int32_t frame2) {
    ResetCollisionLayers(kOverlapLayer);
    (void)CollideImageAt(image1, x1, y1, frame1, 0, kOverlapLayer, nullptr);
    return !CollideImageAt(image2, x2, y2, frame2, kOverlapLayer, 0, nullptr).empty();
}

bool ImagesOverlapTransformed(const Ref<TImage>& image1, float x1, float y1, int32_t frame1,
                              float rotation1, float scaleX1, float scaleY1,
                              const Ref<TImage>& image2, float x2, float y2, int32_t frame2,
                              float rotation2, float scaleX2, float scaleY2) {
    // Each image's matrix is computed as the drawing state would give it; the drawing state
    // itself is not touched.
    TPlacement placement1 = CurrentPlacement();
    TPlacement placement2 = placement1;
    placement1.matrix = DrawingMatrixOf(rotation1, scaleX1, scaleY1);
    placement2.matrix = DrawingMatrixOf(rotation2, scaleX2, scaleY2);
    ResetCollisionLayers(kOverlapLayer);
    (void)CollideImagePlaced(placement1, image1, x1, y1, frame1, 0, kOverlapLayer, nullptr);
    return !CollideImagePlaced(placement2, image2, x2, y2, frame2, kOverlapLayer, 0, nullptr).empty();
}

}  // namespace qrv
