#include "kaz2d/gl/gl_image_frame.h"

#include <SDL_opengl.h>

#include <utility>

#include "kaz2d/gl/gl_blend_choice.h"
#include "kaz2d/gl/gl_context.h"
#include "kaz2d/gl/gl_frame_texture.h"
#include "kaz2d/gl/gl_helpers.h"
#include "kaz2d/gl/gl_kaz2d_driver.h"
#include "kaz2d/gl/gl_render_state.h"
#include "kaz2d/graphics_module.h"

namespace qrv {

namespace {

bool textureDeletionStopped = false;

TGLAtlas& Atlas() {
    static TGLAtlas atlas;
    return atlas;
}

}  // namespace

TGLImageFrame::TGLImageFrame(uint32_t texture, float s1, float t1, int32_t sequence, bool opaque)
    : s1(s1), t1(t1), texture(texture), sequence(sequence), opaque(opaque) {}

TGLImageFrame::TGLImageFrame(TGLAtlasPlace place)
    : s0(place.s0),
      t0(place.t0),
      s1(place.s1),
      t1(place.t1),
      texture(place.page->texture),
      sequence(contextGeneration),
      opaque(place.opaque),
      place(std::move(place)) {}

TGLImageFrame::~TGLImageFrame() {
    if (sequence == 0 || textureDeletionStopped) return;
    // An atlas page goes with the last frame on it.
    const GLuint name = place.page ? Atlas().Release(place) : texture;
    if (name == 0) return;
    SwapSharedGLContext();
    glDeleteTextures(1, &name);
    SwapSharedGLContext();
    if (sequence == contextGeneration && CurrentGLContext()) glDeleteTextures(1, &name);
    // A later texture may get the same name: it must be bound afresh.
    TGLRenderState& state = GLRenderState();
    if (state.boundTexture == name) state.boundTexture = 0;
    sequence = 0;
}

void TGLImageFrame::Draw(float x0, float y0, float x1, float y1, float tx, float ty) {
    const TGLRenderState& state = GLRenderState();
    const int32_t requested = state.blendMode;
    const int32_t sent = BlendForDraw(requested, opaque, state.colour[3]);
    if (sent != requested) TGLKaz2DDriver::Instance()->ApplyBlend(sent);
    DrawQuad(x0, y0, x1, y1, tx, ty);
    if (sent != requested) TGLKaz2DDriver::Instance()->ApplyBlend(requested);
}

void TGLImageFrame::DrawQuad(float x0, float y0, float x1, float y1, float tx, float ty) const {
    BindGLTextureForDrawing(texture);
    glBegin(GL_QUADS);
    glTexCoord2f(s0, t0);
    EmitMappedVertex(x0, y0, tx, ty);
    glTexCoord2f(s1, t0);
    EmitMappedVertex(x1, y0, tx, ty);
    glTexCoord2f(s1, t1);
    EmitMappedVertex(x1, y1, tx, ty);
    glTexCoord2f(s0, t1);
    EmitMappedVertex(x0, y1, tx, ty);
    glEnd();
}

Ref<TGLImageFrame> TGLImageFrame::CreateFromPixmap(Ref<TPixmap> pixmap, int32_t flags) {
    if (pixmap && TGLAtlas::Takes(*pixmap, flags)) {
        TGLAtlasPlace place = Atlas().Reserve(*pixmap, TTextureRows::Strided);
        if (!place.page) return nullptr;
        const bool filled = TGLAtlas::Fill(place, pixmap);
        // An unfilled frame still takes its cell, and gives it back as it goes.
        auto frame = std::make_shared<TGLImageFrame>(std::move(place));
        return filled ? frame : nullptr;
    }
    const TFrameTexture made = MakeFrameTexture(std::move(pixmap), flags, FitTextureSize);
    if (made.name == 0) return nullptr;
    return std::make_shared<TGLImageFrame>(made.name, made.s1, made.t1, contextGeneration,
                                           made.opaque);
}

size_t TGLImageFrame::AtlasPageCount() {
    return Atlas().PageCount();
}

void StopGLTextureDeletion() {
    textureDeletionStopped = true;
}

}  // namespace qrv
