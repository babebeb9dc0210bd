#include "kaz2d/gl/gl_picture_anchor.h"

#include <SDL_opengl.h>

#include "kaz2d/gl/gl_context.h"
#include "kaz2d/graphics_module.h"

namespace qrv {

namespace {

// The current drawable's height; the context's own without a current GL context.
int32_t DrawableHeight() {
    int32_t width = 0;
    int32_t height = 0;
    return CurrentGLDrawableSize(width, height) ? height : CurrentHeight();
}

}  // namespace

void TGLPictureAnchor::AnchorViewport(int32_t width, int32_t height) {
    drawableHeight = DrawableHeight();
    glViewport(0, RowFromBottom(0, height), width, height);
}

bool TGLPictureAnchor::FollowDrawable() {
    const bool moved = DrawableHeight() != drawableHeight;
    if (moved) AnchorViewport(CurrentWidth(), CurrentHeight());
    const bool scissorChanged = ClearOutsidePicture();
    return moved || scissorChanged;
}

bool TGLPictureAnchor::ClearOutsidePicture() const {
    int32_t width = 0;
    int32_t height = 0;
    if (!CurrentGLDrawableSize(width, height)) return false;
    const int32_t pictureWidth = CurrentWidth();
    const int32_t bottom = RowFromBottom(0, CurrentHeight());
    if (width <= pictureWidth && bottom <= 0) return false;
    glEnable(GL_SCISSOR_TEST);
    if (width > pictureWidth) {
        glScissor(pictureWidth, 0, width - pictureWidth, height);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    if (bottom > 0) {
        glScissor(0, 0, width, bottom);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    return true;
}

}  // namespace qrv
