#pragma once

#include <cstdint>

#include "kaz2d/gl/gl_atlas.h"
#include "kaz2d/image_frame.h"
#include "pixmap/pixmap.h"

namespace qrv {

// One image frame held in a texture of power-of-two size, the frame's pixels filling its top
// left corner up to (s1, t1), or, for a small unfiltered frame, in a cell of the renderer's
// atlas. Textures are shared by every context.
class TGLImageFrame final : public TImageFrame {
public:
    TGLImageFrame(uint32_t texture, float s1, float t1, int32_t sequence, bool opaque = false);
    explicit TGLImageFrame(TGLAtlasPlace place);
    ~TGLImageFrame() override;
    TGLImageFrame(const TGLImageFrame&) = delete;
    TGLImageFrame& operator=(const TGLImageFrame&) = delete;

    // Draws with the renderer's current colour, alpha and blend, so images take the tint; an
    // opaque frame at full alpha is sent unblended (BlendForDraw).
    void Draw(float x0, float y0, float x1, float y1, float tx, float ty) override;

    // A texture of the pixmap made in the context that is current: sides raised to powers of
    // two (the pixmap shrunk bilinearly when the driver takes no texture that large), the
    // pixmap's last column and row repeated once into the padding. Raises "Unable to calculate
    // tex size" when the driver takes no texture at all. Small unfiltered frames go into the
    // atlas instead.
    [[nodiscard]] static Ref<TGLImageFrame> CreateFromPixmap(Ref<TPixmap> pixmap, int32_t flags);
    // Textures the renderer's atlas has now.
    [[nodiscard]] static size_t AtlasPageCount();

    uint32_t Texture() const { return texture; }
    float S0() const { return s0; }
    float T0() const { return t0; }
    float S1() const { return s1; }
    float T1() const { return t1; }
    int32_t Sequence() const { return sequence; }
    bool Opaque() const override { return opaque; }

private:
    void DrawQuad(float x0, float y0, float x1, float y1, float tx, float ty) const;

    float s0 = 0.0f;
    float t0 = 0.0f;
    float s1;
    float t1;
    uint32_t texture;
    int32_t sequence;
    bool opaque;
    TGLAtlasPlace place;  // no page for a texture of its own
};

// Called once the process is ending: the contexts go with it, so textures are no longer
// deleted one by one.
void StopGLTextureDeletion();

}  // namespace qrv
