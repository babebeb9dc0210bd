#pragma once

#include <cstdint>

#include "kaz2d/gl/gl_atlas.h"

namespace qrv {

// What a shader frame needs of the renderer that made it: its quads go into the renderer's
// queue, and its texture or atlas cell goes back to the renderer, which first sends whatever
// queued quad still samples it.
class TGLShaderFrameOwner {
public:
    // Queues the texture's (s0, t0)-(s1, t1) over the mapped local box, saying whether every
    // texel the quad samples is opaque.
    virtual void QueueTexturedQuad(uint32_t texture, bool opaque, float s0, float t0, float s1,
                                   float t1, float x0, float y0, float x1, float y1, float tx,
                                   float ty) = 0;
    // Deletes a frame's texture in the shared context.
    virtual void DeleteTexture(uint32_t name) = 0;
    // Frees an atlas frame's cell, deleting its page's texture when no frame is left on it.
    virtual void ReleaseAtlasCell(const TGLAtlasPlace& place) = 0;
    // The texture of the image drawing goes into, 0 while it goes to the window; a frame of
    // that texture cannot be read by the draws that write it, and draws nothing.
    uint32_t TextureDrawnInto() const { return textureDrawnInto; }

protected:
    TGLShaderFrameOwner() = default;
    ~TGLShaderFrameOwner() = default;
    TGLShaderFrameOwner(const TGLShaderFrameOwner&) = default;
    TGLShaderFrameOwner& operator=(const TGLShaderFrameOwner&) = default;

    uint32_t textureDrawnInto = 0;
};

}  // namespace qrv
