#include "kaz2d/gl/gl_renderer_base.h"

#include <SDL_opengl.h>

#include <algorithm>

#include "kaz2d/draw_target.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/kaz2d_graphics.h"
#include "kaz2d/kaz2d_module.h"
#include "pixmap/pixmap_transform.h"

namespace qrv {

namespace {

uint8_t ClampedByte(int32_t value) {
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

void SendScissor(const TGLScissor& scissor) {
    if (!scissor.enabled) {
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    glEnable(GL_SCISSOR_TEST);
    glScissor(scissor.box[0], scissor.box[1], scissor.box[2], scissor.box[3]);
}

}  // namespace

Ref<TGLGraphicsDriver> TGLRendererBase::Lower() const {
    return TGLGraphicsDriver::ForProfile(profile);
}

std::vector<TGraphicsMode> TGLRendererBase::EnumerateModes() {
    return Lower()->EnumerateModes();
}

Ref<TGraphics> TGLRendererBase::AttachContext(void* window, int32_t flags) {
    Ref<TGraphics> lower = Lower()->AttachContext(window, flags);
    return lower ? TKaz2DGraphics::CreateFor(lower, Shared()) : nullptr;
}

Ref<TGraphics> TGLRendererBase::CreateContext(int32_t width, int32_t height, int32_t depth,
                                              int32_t hertz, int32_t flags) {
    Ref<TGraphics> lower = Lower()->CreateContext(width, height, depth, hertz, flags);
    return lower ? TKaz2DGraphics::CreateFor(lower, Shared()) : nullptr;
}

void TGLRendererBase::MakeCurrent(const Ref<TGraphics>& graphics) {
    EndDrawingIntoImage();
    Flush();
    const auto context = std::dynamic_pointer_cast<TKaz2DGraphics>(graphics);
    const auto lower = context ? std::dynamic_pointer_cast<TGLGraphics>(context->graphics) : nullptr;
    if (!context || !lower || !lower->Record()) {
        Lower()->MakeCurrent(nullptr);
        TKaz2DGraphics::ClearCurrent();
        return;
    }
    Lower()->MakeCurrent(lower);
    const TGraphicsSettings settings = context->GetSettings();
    scissor = {};
    glDisable(GL_SCISSOR_TEST);
    PrepareContext(*lower->Record(), settings.width, settings.height);
    anchor.AnchorViewport(settings.width, settings.height);
    context->BecomeCurrent();
    context->ApplyState();
}

void TGLRendererBase::PresentBuffer(int32_t sync) {
    // The window's picture is shown, never a half-drawn image.
    EndDrawingIntoImage();
    Flush();
    Lower()->PresentBuffer(sync);
    // The window may have been given another size since the last frame: a scissored drawing
    // area then moves with the picture's top edge.
    if (anchor.FollowDrawable()) ResendViewport();
}

void TGLRendererBase::ResendViewport() {
    // A rectangle no viewport gives, so that the viewport's is sent whatever it is.
    scissor = {true, {0, 0, -1, -1}};
    int32_t x = 0, y = 0, width = 0, height = 0;
    GetViewportRect(x, y, width, height);
    ApplyViewport(x, y, width, height);
}

void TGLRendererBase::ApplyAlpha(float alpha) {
    // NaN compares false both ways and ends as 0.
    const float clamped = alpha >= 1.0f ? 1.0f : (alpha > 0.0f ? alpha : 0.0f);
    CurrentDrawState().colour[3] = static_cast<uint8_t>(255.0f * clamped);
    ColourChanged();
}

void TGLRendererBase::ApplyColor(int32_t red, int32_t green, int32_t blue) {
    auto& colour = CurrentDrawState().colour;
    colour[0] = ClampedByte(red);
    colour[1] = ClampedByte(green);
    colour[2] = ClampedByte(blue);
    ColourChanged();
}

void TGLRendererBase::ApplyTransform(float ix, float iy, float jx, float jy) {
    TGLDrawState& s = CurrentDrawState();
    s.ix = ix;
    s.iy = iy;
    s.jx = jx;
    s.jy = jy;
}

void TGLRendererBase::ApplyViewport(int32_t x, int32_t y, int32_t width, int32_t height) {
    SetScissor(ScissorFor(x, y, width, height));
}

void TGLRendererBase::ClearBuffer() {
    Flush();
    glClear(GL_COLOR_BUFFER_BIT);
}

Ref<TPixmap> TGLRendererBase::ReadPixmap(int32_t x, int32_t y, int32_t width, int32_t height) {
    Flush();
    Ref<TPixmap> pixmap = NewPixmap(width, height, FormatRGBA8888, 4);
    if (!pixmap || width == 0 || height == 0) return pixmap;
    // A new RGBA pixmap has tightly packed rows, as OpenGL packs them by default.
    glReadPixels(x, RowOf(y, height), width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixmap->Pixels());
    // An image's rows lie top row first already.
    return DrawsIntoImage() ? pixmap : FlipVertical(pixmap);
}

void TGLRendererBase::ApplyClearColor(int32_t red, int32_t green, int32_t blue) {
    glClearColor(ClampedByte(red) / 255.0f, ClampedByte(green) / 255.0f,
                 ClampedByte(blue) / 255.0f, 1.0f);
}

TGLScissor TGLRendererBase::ScissorFor(int32_t x, int32_t y, int32_t width, int32_t height) const {
    if (DrawsIntoImage()) {
        // Within the image, so that clearing leaves the texture's padding alone.
        const int32_t left = std::clamp(x, 0, target.width);
        const int32_t top = std::clamp(y, 0, target.height);
        const auto right = static_cast<int32_t>(
            std::clamp(int64_t{x} + std::max(width, 0), int64_t{left}, int64_t{target.width}));
        const auto bottom = static_cast<int32_t>(
            std::clamp(int64_t{y} + std::max(height, 0), int64_t{top}, int64_t{target.height}));
        return {true, {left, top, right - left, bottom - top}};
    }
    if (x == 0 && y == 0 && width == CurrentWidth() && height == CurrentHeight()) return {};
    // A negative size would be a GL error that leaves the previous rectangle in force.
    return {true, {x, anchor.RowFromBottom(y, height), std::max(width, 0), std::max(height, 0)}};
}

void TGLRendererBase::SetScissor(const TGLScissor& wanted) {
    if (wanted == scissor) return;
    Flush();
    scissor = wanted;
    SendScissor(wanted);
}

void TGLRendererBase::SetBlendFunction(int32_t mode) {
    switch (mode) {
        case BLEND_ALPHA:
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            return;
        case BLEND_LIGHT:
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE);
            return;
        case BLEND_SHADE:
            glEnable(GL_BLEND);
            glBlendFunc(GL_DST_COLOR, GL_ZERO);
            return;
        default:
            glDisable(GL_BLEND);
            return;
    }
}

}  // namespace qrv
