// Drawing into images with the fixed-function renderer.
#include <SDL_opengl.h>

#include "kaz2d/gl/gl_helpers.h"
#include "kaz2d/glfixed/glfixed_image_frame.h"
#include "kaz2d/glfixed/glfixed_kaz2d_driver.h"
#include "kaz2d/glfixed/glfixed_render_state.h"

namespace qrv {

Ref<TGLFrameBase> TGLKaz2DDriver::MakeTargetFrame(const Ref<TPixmap>& pixels, int32_t flags) {
    TGLFrameBase::StopTextureDeletionAtExit();
    Ref<TGLFrameBase> frame = MakeGLTargetFrame<TGLImageFrame>(pixels, flags, FitTextureSize,
                                                               TTextureRows::Strided);
    GLRenderState().boundTexture = 0;  // the new texture is bound now
    return frame;
}

void TGLKaz2DDriver::PrepareImageTarget(int32_t width, int32_t height) {
    ResetGLRenderCache();
    GLRenderState().targetTexture = TargetTexture();
    // The image's top row is GL row 0.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
}

}  // namespace qrv
