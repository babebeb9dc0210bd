// Drawing into image frames: the part of TGLRendererBase both OpenGL renderers share.
#include <SDL_opengl.h>

#include "kaz2d/draw_target.h"
#include "kaz2d/gl/gl_framebuffer.h"
#include "kaz2d/gl/power_of_two.h"
#include "kaz2d/gl/gl_renderer_base.h"
#include "kaz2d/kaz2d_graphics.h"

namespace qrv {

namespace {

void UploadPixels(const Ref<TPixmap>& pixels, int32_t x, int32_t y) {
    // A converted copy has tightly packed rows, which every OpenGL takes.
    const Ref<TPixmap> tight = pixels ? pixels->ConvertedTo(FormatRGBA8888) : nullptr;
    if (!tight) return;
    glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, tight->Width(), tight->Height(), GL_RGBA,
                    GL_UNSIGNED_BYTE, tight->Pixels());
}

// Filtering at the image's right and bottom edges reaches one texel into the texture's padding,
// which repeats the edge as it was when the frame was made: it takes the drawn edge instead.
void RepeatEdgesIntoPadding(uint32_t texture, const Ref<TPixmap>& drawn) {
    const int32_t w = drawn->Width();
    const int32_t h = drawn->Height();
    const bool right = w < NextPowerOfTwo(w);
    const bool below = h < NextPowerOfTwo(h);
    if (!right && !below) return;
    glBindTexture(GL_TEXTURE_2D, texture);
    if (right) UploadPixels(drawn->SubRegion(w - 1, 0, 1, h), w, 0);
    if (below) UploadPixels(drawn->SubRegion(0, h - 1, w, 1), 0, h);
    if (right && below) UploadPixels(drawn->SubRegion(w - 1, h - 1, 1, 1), w, h);
}

}  // namespace

Ref<TImageFrame> TGLRendererBase::BeginImageTarget(const Ref<TImageFrame>& existing,
                                                   const Ref<TPixmap>& pixels, int32_t flags,
                                                   std::string& reason) {
    EndDrawingIntoImage();
    const TGLContextRecord* record = CurrentGLContext();
    const Ref<TKaz2DGraphics>& context = TKaz2DGraphics::CurrentContext();
    if (!record || record->profile != Profile() || !context || context->driver.get() != this) {
        reason = "no graphics context of this renderer is current";
        return nullptr;
    }
    if (!pixels || pixels->Width() <= 0 || pixels->Height() <= 0) {
        reason = "the image has no pixels";
        return nullptr;
    }
    if (!GLFramebuffersAvailable(Profile())) {
        reason = "this OpenGL context has no framebuffer objects to draw into images with";
        return nullptr;
    }
    GLint limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    if (NextPowerOfTwo(pixels->Width()) > limit || NextPowerOfTwo(pixels->Height()) > limit) {
        reason = "the image is larger than the largest texture OpenGL takes here (" +
                 std::to_string(limit) + " pixels a side)";
        return nullptr;
    }
    Flush();
    Ref<TGLFrameBase> frame = std::dynamic_pointer_cast<TGLFrameBase>(existing);
    // A frame that was drawn into before already holds the pixels in a texture of its own.
    if (!frame || !frame->AllowsDrawingInto()) frame = MakeTargetFrame(pixels, flags);
    if (!frame) {
        reason = "no texture could be made for the image";
        return nullptr;
    }
    const uint32_t framebuffer = OpenTextureFramebuffer(frame->Texture(), Profile(), reason);
    if (framebuffer == 0) return nullptr;
    target = {framebuffer, frame->Texture(), pixels->Width(), pixels->Height(), record, frame};
    glViewport(0, 0, target.width, target.height);
    // The scissor is sent again as the drawing state is.
    scissor = {true, {0, 0, -1, -1}};
    PrepareImageTarget(target.width, target.height);
    return frame;
}

Ref<TPixmap> TGLRendererBase::EndImageTarget() {
    if (!DrawsIntoImage()) return nullptr;
    const TGLContextRecord* record = CurrentGLContext();
    // Framebuffer objects go with their context: a context closed while an image was the
    // target took it along, and what was drawn with it.
    if (record != target.context) {
        target = {};
        return nullptr;
    }
    Flush();
    Ref<TPixmap> drawn = NewPixmap(target.width, target.height, FormatRGBA8888, 4);
    // The pixmap has tightly packed rows, as OpenGL packs them by default.
    if (drawn)
        glReadPixels(0, 0, target.width, target.height, GL_RGBA, GL_UNSIGNED_BYTE, drawn->Pixels());
    CloseTextureFramebuffer(target.framebuffer);
    if (drawn) RepeatEdgesIntoPadding(target.texture, drawn);
    target = {};
    const Ref<TKaz2DGraphics>& context = TKaz2DGraphics::CurrentContext();
    const TGraphicsSettings settings = context ? context->GetSettings() : TGraphicsSettings{};
    scissor = {};
    glDisable(GL_SCISSOR_TEST);
    PrepareContext(*CurrentGLContext(), settings.width, settings.height);
    anchor.AnchorViewport(settings.width, settings.height);
    return drawn;
}

void TGLRendererBase::EndDrawingIntoImage() {
    if (!DrawsIntoImage()) return;
    ReleaseDrawTarget();
    // Begun without the drawing layer: nothing keeps what was drawn.
    if (DrawsIntoImage()) (void)EndImageTarget();
}

}  // namespace qrv
