#include "kaz2d/glfixed/glfixed_render_state.h"

#include <SDL_opengl.h>

namespace qrv {

TGLRenderState& GLRenderState() {
    static TGLRenderState state;
    return state;
}

void ResetGLRenderCache() {
    TGLRenderState& s = GLRenderState();
    s.blendMode = 0;
    s.boundTexture = 0;
    s.texturing = false;
    glDisable(GL_TEXTURE_2D);
}

void DisableGLTexturing() {
    TGLRenderState& s = GLRenderState();
    if (!s.texturing) return;
    glDisable(GL_TEXTURE_2D);
    s.texturing = false;
}

void BindGLTextureForDrawing(uint32_t name) {
    TGLRenderState& s = GLRenderState();
    if (name != s.boundTexture) {
        glBindTexture(GL_TEXTURE_2D, name);
        s.boundTexture = name;
    }
    if (!s.texturing) {
        glEnable(GL_TEXTURE_2D);
        s.texturing = true;
    }
}

void EmitMappedVertex(float lx, float ly, float tx, float ty) {
    const TGLRenderState& s = GLRenderState();
    glVertex2f(lx * s.ix + ly * s.iy + tx, lx * s.jx + ly * s.jy + ty);
}

void SendGLBlend(int32_t mode) {
    TGLRenderState& s = GLRenderState();
    if (mode == s.blendMode) return;
    s.blendMode = mode;
    TGLRendererBase::SetBlendFunction(mode);
    if (mode != BLEND_MASK) {
        glDisable(GL_ALPHA_TEST);
        return;
    }
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GEQUAL, 0.5f);
}

}  // namespace qrv
