#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "kaz2d/gl/gl_context.h"
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

// What both OpenGL Kaz2D renderers do alike over the OpenGL graphics driver of their profile:
// its contexts wrapped for Kaz2D and made current with a picture anchored at the top left of
// the drawable, the scissor set again after a present that moved the picture, colours clamped
// to bytes, the blend functions, the clear colour and pixels read back.
class TGLRendererBase : public TKaz2DDriver {
public:
    TGLProfile Profile() const { return profile; }

    std::vector<TGraphicsMode> EnumerateModes() override;
    Ref<TGraphics> AttachContext(void* window, int32_t flags) override;
    Ref<TGraphics> CreateContext(int32_t width, int32_t height, int32_t depth, int32_t hertz,
                                 int32_t flags) override;
    // Makes the wrapped context current, prepares it for a picture of its size (origin top
    // left, y down) and sends the context's drawing state again.
    void MakeCurrent(const Ref<TGraphics>& graphics) override;
    void PresentBuffer(int32_t sync) override;
    // Each clamped to 0..255.
    void ApplyClearColor(int32_t red, int32_t green, int32_t blue) override;

    // Sends what was drawn but is still held back; a renderer that draws at once holds nothing.
    virtual void Flush() {}

protected:
    explicit TGLRendererBase(TGLProfile profile) : profile(profile) {}

    // This renderer as the shared reference its wrapped contexts hold.
    [[nodiscard]] virtual Ref<TKaz2DDriver> Shared() const = 0;
    // Forgets what was sent to the previous context and readies the one just made current for a
    // picture of width x height.
    virtual void PrepareContext(TGLContextRecord& record, int32_t width, int32_t height) = 0;
    // Sends the viewport's scissor again, after a present moved the picture in its drawable.
    virtual void ResendViewport();

    [[nodiscard]] Ref<TGLGraphicsDriver> Lower() const;
    // The back-buffer pixels of the picture's rectangle, top row first.
    [[nodiscard]] Ref<TPixmap> ReadPicturePixels(int32_t x, int32_t y, int32_t width,
                                                 int32_t height) const;
    // The scissor that clips drawing to the viewport rectangle (in window pixels from the
    // picture's top left).
    [[nodiscard]] TGLScissor ScissorFor(int32_t x, int32_t y, int32_t width, int32_t height) const;
    static void SendScissor(const TGLScissor& scissor);
    // Turns blending on with the mode's function; the mask and solid modes, and every unknown
    // one, turn it off (each renderer drops the mask's transparent fragments its own way).
    static void SetBlendFunction(int32_t mode);
    // The colour's red, green and blue, each clamped to 0..255.
    static void SetColourBytes(std::array<uint8_t, 4>& colour, int32_t red, int32_t green,
                               int32_t blue);
    // 0..1 as 0..255; NaN as 0.
    static uint8_t AlphaByte(float alpha);

    // Where the current context's picture sits in its drawable.
    TGLPictureAnchor anchor;

private:
    TGLProfile profile;
};

}  // namespace qrv
