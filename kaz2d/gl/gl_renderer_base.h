#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "kaz2d/gl/gl_context.h"
#include "kaz2d/gl/gl_frame_base.h"
#include "kaz2d/gl/gl_graphics_driver.h"
#include "kaz2d/gl/gl_picture_anchor.h"
#include "kaz2d/kaz2d_driver.h"

namespace qrv {

// The scissor rectangle a context has, in GL window rows; off while the viewport is the whole
// picture.
struct TGLScissor {
    bool enabled = false;
    std::array<int32_t, 4> box{};
    bool operator==(const TGLScissor&) const = default;
};

// The colour and matrix the next shapes are drawn with: a local point (lx, ly) translated by
// (tx, ty) lands on (lx * ix + ly * iy + tx, lx * jx + ly * jy + ty).
struct TGLDrawState {
    std::array<uint8_t, 4> colour{};  // red, green, blue, alpha
    float ix = 1.0f;
    float iy = 0.0f;
    float jx = 0.0f;
    float jy = 1.0f;
};

// What both OpenGL Kaz2D renderers do alike over the OpenGL graphics driver of their profile:
// its contexts wrapped for Kaz2D and made current with a picture anchored at the top left of
// the drawable, the viewport's scissor (set again after a present that moved the picture),
// the colour and matrix kept for drawing, the blend functions, clearing and pixels read back.
class TGLRendererBase : public TKaz2DDriver {
public:
    // Turns blending on with the mode's function; the mask and solid modes, and every unknown
    // one, turn it off (each renderer drops the mask's transparent fragments its own way).
    static void SetBlendFunction(int32_t mode);

    TGLProfile Profile() const { return profile; }

    std::vector<TGraphicsMode> EnumerateModes() override;
    Ref<TGraphics> AttachContext(void* window, int32_t flags) override;
    Ref<TGraphics> CreateContext(int32_t width, int32_t height, int32_t depth, int32_t hertz,
                                 int32_t flags) override;
    // Makes the wrapped context current, prepares it for a picture of its size (origin top
    // left, y down) and sends the context's drawing state again.
    void MakeCurrent(const Ref<TGraphics>& graphics) override;
    void PresentBuffer(int32_t sync) override;
    // Clamped to 0..1.
    void ApplyAlpha(float alpha) override;
    // Each clamped to 0..255.
    void ApplyColor(int32_t red, int32_t green, int32_t blue) override;
    // Each clamped to 0..255.
    void ApplyClearColor(int32_t red, int32_t green, int32_t blue) override;
    // The whole picture turns scissoring off; anything else scissors to the rectangle.
    void ApplyViewport(int32_t x, int32_t y, int32_t width, int32_t height) override;
    void ApplyTransform(float ix, float iy, float jx, float jy) override;
    void ClearBuffer() override;
    Ref<TPixmap> ReadPixmap(int32_t x, int32_t y, int32_t width, int32_t height) override;

    // Sends what was drawn but is still held back; a renderer that draws at once holds nothing.
    virtual void Flush() {}

    // Drawing into an image goes through a framebuffer object over the frame's texture, made
    // in the current context; the image's top row is the texture's first, GL row 0, so the
    // projection runs the other way up than the window's, and drawing is always scissored to
    // the image (the texture's padding beyond it is left alone). Presenting and switching
    // contexts end it first (ReleaseDrawTarget), so it never outlives its context.
    Ref<TImageFrame> BeginImageTarget(const Ref<TImageFrame>& existing, const Ref<TPixmap>& pixels,
                                      int32_t flags, std::string& reason) override;
    Ref<TPixmap> EndImageTarget() override;
    // Whether drawing goes into an image, and that image frame's texture (0: the window).
    bool DrawsIntoImage() const { return target.framebuffer != 0; }
    uint32_t TargetTexture() const { return target.texture; }

protected:
    explicit TGLRendererBase(TGLProfile profile) : profile(profile) {}

    // This renderer as the shared reference its wrapped contexts hold.
    [[nodiscard]] virtual Ref<TKaz2DDriver> Shared() const = 0;
    // Forgets what was sent to the previous context and readies the one just made current for a
    // picture of width x height.
    virtual void PrepareContext(TGLContextRecord& record, int32_t width, int32_t height) = 0;
    // Where the renderer keeps its colour and matrix.
    [[nodiscard]] virtual TGLDrawState& CurrentDrawState() = 0;
    // The colour or alpha changed; a renderer that gives it to the context sends it now.
    virtual void ColourChanged() {}
    // A frame of the pixels that drawing can go into (MakeGLTargetFrame), made in the current
    // context; none when no texture could be had.
    [[nodiscard]] virtual Ref<TGLFrameBase> MakeTargetFrame(const Ref<TPixmap>& pixels,
                                                            int32_t flags) = 0;
    // Drawing now goes into an image of width x height whose top row is GL row 0: forgets the
    // texture bound and sets the projection (origin top left, y down). PrepareContext readies
    // the window again afterwards.
    virtual void PrepareImageTarget(int32_t width, int32_t height) = 0;

    [[nodiscard]] Ref<TGLGraphicsDriver> Lower() const;
    // Gives the context the scissor, sending what is held back first, when it has another.
    void SetScissor(const TGLScissor& wanted);
    [[nodiscard]] const TGLScissor& Scissor() const { return scissor; }

    // Where the current context's picture sits in its drawable.
    TGLPictureAnchor anchor;

    // The GL row (counted from the bottom) of the lowest of `height` rows that begin `top` rows
    // below the top edge of the picture drawn into: the window's or the image's.
    [[nodiscard]] int32_t RowOf(int32_t top, int32_t height) const {
        return DrawsIntoImage() ? top : anchor.RowFromBottom(top, height);
    }

private:
    struct TGLImageTarget {
        uint32_t framebuffer = 0;  // 0: drawing goes to the window
        uint32_t texture = 0;
        int32_t width = 0;
        int32_t height = 0;
        const TGLContextRecord* context = nullptr;  // the one the framebuffer belongs to
        Ref<TGLFrameBase> frame;
    };

    // The scissor that clips drawing to the viewport rectangle (in window pixels from the
    // picture's top left).
    [[nodiscard]] TGLScissor ScissorFor(int32_t x, int32_t y, int32_t width, int32_t height) const;
    // Sends the viewport's scissor again, after a present moved the picture in its drawable.
    void ResendViewport();
    // Sends drawing back to the window, through the drawing layer so that the image keeps
    // what was drawn.
    void EndDrawingIntoImage();

    TGLProfile profile;
    TGLScissor scissor;  // the one the current context has
    TGLImageTarget target;
};

}  // namespace qrv
