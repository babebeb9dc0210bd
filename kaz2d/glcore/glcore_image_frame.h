#pragma once

#include <cstdint>

#include "kaz2d/gl/gl_frame_texture.h"
#include "kaz2d/gl/gl_atlas.h"
#include "kaz2d/image_frame.h"
#include "pixmap/pixmap.h"

namespace qrv {

class TGLCoreKaz2DDriver;

// One image frame of the shader renderer: a texture of its own laid out as the fixed-function
// renderer lays it out (power-of-two sides, the frame in the top left corner up to (s1, t1)),
// or a cell of the renderer's atlas for a small unfiltered frame. Drawing queues a quad with
// the renderer.
class TGLCoreImageFrame final : public TImageFrame {
public:
    TGLCoreImageFrame(TGLCoreKaz2DDriver& driver, uint32_t texture, float s1, float t1,
                      int32_t sequence, bool opaque = false);
    TGLCoreImageFrame(TGLCoreKaz2DDriver& driver, TGLAtlasPlace place);
    ~TGLCoreImageFrame() override;
    TGLCoreImageFrame(const TGLCoreImageFrame&) = delete;
    TGLCoreImageFrame& operator=(const TGLCoreImageFrame&) = delete;

    void Draw(float x0, float y0, float x1, float y1, float tx, float ty) override;

    // A texture of the pixmap made in the current context; none for an empty pixmap. Raises
    // "Unable to calculate tex size" when the driver takes no texture at all. Small unfiltered
    // frames go into the driver's atlas instead.
    [[nodiscard]] static Ref<TGLCoreImageFrame> CreateFromPixmap(TGLCoreKaz2DDriver& driver,
                                                                 Ref<TPixmap> pixmap,
                                                                 int32_t flags, TTextureRows rows);

    uint32_t Texture() const { return texture; }
    float S1() const { return s1; }
    float T1() const { return t1; }
    bool Opaque() const override { return opaque; }

private:
    TGLCoreKaz2DDriver& driver;
    uint32_t texture;
    float s0 = 0.0f;
    float t0 = 0.0f;
    float s1;
    float t1;
    int32_t sequence;
    bool opaque;
    TGLAtlasPlace place;  // no page for a texture of its own
};

// Raises both sides to powers of two, then halves them until they fit the driver's largest
// texture size. Raises "Unable to calculate tex size" when the driver reports no size.
void FitTextureSizeToLimit(int32_t& width, int32_t& height);

// Called once the process is ending: the contexts go with it, so textures are no longer
// deleted one by one.
void StopGLCoreTextureDeletion();

}  // namespace qrv
