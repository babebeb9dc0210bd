#pragma once

#include <cstdint>

#include "kaz2d/gl/gl_renderer_base.h"

namespace qrv {

// The colour and matrix of the fixed-function renderer, and what it remembers of the current
// context, so that redundant state changes are skipped; rebuilt whenever a context is made
// current.
struct TGLRenderState : TGLDrawState {
    int32_t blendMode = 0;      // 0: nothing cached
    uint32_t boundTexture = 0;  // 0: none
    bool texturing = false;
    uint32_t targetTexture = 0;  // the texture of the image drawn into; 0: the window
};

TGLRenderState& GLRenderState();

// Forgets the cached blend, texture and texturing of the previous context and turns
// texturing off.
void ResetGLRenderCache();
void DisableGLTexturing();
// Sends the blend mode unless it was the last one sent: the blend function, and for the mask
// mode the alpha test that drops transparent texels.
void SendGLBlend(int32_t mode);
// Binds the texture (when it is not bound yet) and turns texturing on (when it is off).
void BindGLTextureForDrawing(uint32_t name);
// glVertex2f of the local point mapped by the matrix and translated by (tx, ty).
void EmitMappedVertex(float lx, float ly, float tx, float ty);

}  // namespace qrv
