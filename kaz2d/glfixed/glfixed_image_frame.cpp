#include "kaz2d/glfixed/glfixed_image_frame.h"

#include <SDL_opengl.h>

#include <utility>

#include "kaz2d/gl/gl_blend_choice.h"
#include "kaz2d/gl/gl_context.h"
#include "kaz2d/gl/gl_graphics_driver.h"
#include "kaz2d/gl/gl_helpers.h"
#include "kaz2d/glfixed/glfixed_render_state.h"

namespace qrv {

namespace {

TGLAtlas& Atlas() {
    static TGLAtlas atlas;
    return atlas;
}

}  // namespace

TGLImageFrame::~TGLImageFrame() {
    if (!HoldsTexture()) return;
    // An atlas page goes with the last frame on it.
    const GLuint name = Place().page ? Atlas().Release(Place()) : Texture();
    ForgetTexture();
    if (name == 0) return;
    // The name is the compatibility contexts'; in a current context of another profile it
    // names another texture.
    if (CurrentGLContextIs(TGLProfile::Compatibility)) {
        glDeleteTextures(1, &name);
    } else {
        TSharedContextScope shared(TGLProfile::Compatibility);
        glDeleteTextures(1, &name);
    }
    // A later texture may get the same name: it must be bound afresh.
    TGLRenderState& state = GLRenderState();
    if (state.boundTexture == name) state.boundTexture = 0;
}

void TGLImageFrame::Draw(float x0, float y0, float x1, float y1, float tx, float ty) {
    const TGLRenderState& state = GLRenderState();
    // A texture drawn into cannot be read by the same draw.
    if (Texture() == state.targetTexture) return;
    const int32_t requested = state.blendMode;
    const int32_t sent = BlendForDraw(requested, Opaque(), state.colour[3]);
    if (sent != requested) SendGLBlend(sent);
    DrawQuad(x0, y0, x1, y1, tx, ty);
    if (sent != requested) SendGLBlend(requested);
}

void TGLImageFrame::DrawQuad(float x0, float y0, float x1, float y1, float tx, float ty) const {
    BindGLTextureForDrawing(Texture());
    glBegin(GL_QUADS);
    glTexCoord2f(S0(), T0());
    EmitMappedVertex(x0, y0, tx, ty);
    glTexCoord2f(S1(), T0());
    EmitMappedVertex(x1, y0, tx, ty);
    glTexCoord2f(S1(), T1());
    EmitMappedVertex(x1, y1, tx, ty);
    glTexCoord2f(S0(), T1());
    EmitMappedVertex(x0, y1, tx, ty);
    glEnd();
}

Ref<TGLImageFrame> TGLImageFrame::CreateFromPixmap(Ref<TPixmap> pixmap, int32_t flags) {
    return MakeGLFrame<TGLImageFrame>(Atlas(), std::move(pixmap), flags, FitTextureSize,
                                      TTextureRows::Strided);
}

size_t TGLImageFrame::AtlasPageCount() {
    return Atlas().PageCount();
}

}  // namespace qrv
