#pragma once

#include <cstdint>

#include "kaz2d/gl/gl_frame_base.h"
#include "kaz2d/glshader/glshader_frame_owner.h"

namespace qrv {

// An image frame of the shader renderer: drawing queues a quad with the renderer, which also
// deletes the frame's texture or frees its atlas cell when the frame goes.
class TGLShaderImageFrame final : public TGLFrameBase {
public:
    TGLShaderImageFrame(TGLShaderFrameOwner& owner, uint32_t texture, float s1, float t1,
                        int32_t sequence, bool opaque = false);
    TGLShaderImageFrame(TGLShaderFrameOwner& owner, TGLAtlasPlace place);
    ~TGLShaderImageFrame() override;

    void Draw(float x0, float y0, float x1, float y1, float tx, float ty) override;

private:
    TGLShaderFrameOwner& owner;
};

// Raises both sides to powers of two, then halves them until they fit the driver's largest
// texture size. Raises "Unable to calculate tex size" when the driver reports no size.
void FitTextureSizeToLimit(int32_t& width, int32_t& height);

}  // namespace qrv
