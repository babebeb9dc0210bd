// Drawing into images with the shader renderer.
#include <SDL_opengl.h>

#include <array>

#include "kaz2d/glshader/glshader_functions.h"
#include "kaz2d/glshader/glshader_image_frame.h"
#include "kaz2d/glshader/glshader_kaz2d_driver.h"

namespace qrv {

Ref<TGLFrameBase> TGLShaderKaz2DDriver::MakeTargetFrame(const Ref<TPixmap>& pixels, int32_t flags) {
    TGLFrameBase::StopTextureDeletionAtExit();
    const TTextureRows rows = TightRows() ? TTextureRows::Tight : TTextureRows::Strided;
    Ref<TGLFrameBase> frame = MakeGLTargetFrame<TGLShaderImageFrame>(
        pixels, flags, FitTextureSizeToLimit, rows, static_cast<TGLShaderFrameOwner&>(*this));
    boundTexture = 0;  // the new texture is bound now
    return frame;
}

void TGLShaderKaz2DDriver::PrepareImageTarget(int32_t width, int32_t height) {
    boundTexture = 0;
    textureDrawnInto = TargetTexture();
    if (program.name == 0) return;
    // The pixel projection with the image's top row at GL row 0, column by column.
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    const std::array<float, 16> projection{2.0f / w, 0, 0, 0, 0, 2.0f / h, 0, 0,
                                           0, 0, -1, 0, -1, -1, 0, 1};
    GLShaderFunctions().UniformMatrix4fv(program.projection, 1, GL_FALSE, projection.data());
}

}  // namespace qrv
