#pragma once

#include <cstdint>

#include "kaz2d/gl/gl_frame_base.h"
#include "pixmap/pixmap.h"

namespace qrv {

// An image frame of the fixed-function renderer, drawn in immediate mode. Its textures and
// atlas cells are made in the shared context, so every context can draw it.
class TGLImageFrame final : public TGLFrameBase {
public:
    using TGLFrameBase::TGLFrameBase;
    ~TGLImageFrame() override;

    // Draws with the renderer's current colour, alpha and blend, so images take the tint; an
    // opaque frame at full alpha is sent unblended (BlendForDraw).
    void Draw(float x0, float y0, float x1, float y1, float tx, float ty) override;

    // A frame of the pixmap made in the context that is current (MakeGLFrame). Raises "Unable
    // to calculate tex size" when the driver takes no texture at all.
    [[nodiscard]] static Ref<TGLImageFrame> CreateFromPixmap(Ref<TPixmap> pixmap, int32_t flags);
    // Textures the renderer's atlas has now.
    [[nodiscard]] static size_t AtlasPageCount();

private:
    void DrawQuad(float x0, float y0, float x1, float y1, float tx, float ty) const;
};

}  // namespace qrv
