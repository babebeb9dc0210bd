#include "kaz2d/glshader/glshader_image_frame.h"

#include <SDL_opengl.h>

#include <string>
#include <utility>

#include "core/error.h"
#include "kaz2d/gl/power_of_two.h"

namespace qrv {

TGLShaderImageFrame::TGLShaderImageFrame(TGLShaderFrameOwner& owner, uint32_t texture,
                                         float s1, float t1, int32_t sequence, bool opaque)
    : TGLFrameBase(texture, s1, t1, sequence, opaque), owner(owner) {}

TGLShaderImageFrame::TGLShaderImageFrame(TGLShaderFrameOwner& owner, TGLAtlasPlace place)
    : TGLFrameBase(std::move(place)), owner(owner) {}

TGLShaderImageFrame::~TGLShaderImageFrame() {
    if (!HoldsTexture()) return;
    if (Place().page) {
        owner.ReleaseAtlasCell(Place());
    } else {
        owner.DeleteTexture(Texture());
    }
}

void TGLShaderImageFrame::Draw(float x0, float y0, float x1, float y1, float tx, float ty) {
    if (Texture() == owner.TextureDrawnInto()) return;
    owner.QueueTexturedQuad(Texture(), Opaque(), S0(), T0(), S1(), T1(), x0, y0, x1, y1, tx, ty);
}

void FitTextureSizeToLimit(int32_t& width, int32_t& height) {
    GLint limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    if (limit < 1) throw TRuntimeError(std::string("Unable to calculate tex size"));
    width = NextPowerOfTwo(width);
    height = NextPowerOfTwo(height);
    while (width > limit) width /= 2;
    while (height > limit) height /= 2;
}

}  // namespace qrv
