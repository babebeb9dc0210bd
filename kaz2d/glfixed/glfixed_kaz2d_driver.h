#pragma once

#include <cstdint>
#include <vector>

#include "kaz2d/gl/gl_renderer_base.h"
#include "kaz2d/glfixed/glfixed_module.h"

namespace qrv {

// The Kaz2D renderer on fixed-function OpenGL in immediate mode, over the compatibility
// contexts of the OpenGL graphics driver. One instance per process; its text form is "OpenGL".
class TGLKaz2DDriver final : public TGLRendererBase {
public:
    TGLKaz2DDriver() : TGLRendererBase(TGLProfile::Compatibility) {}
    static Ref<TGLKaz2DDriver> Instance();

    std::u16string ToString() const override;

    // Made in the shared context, so every context can draw it.
    Ref<TImageFrame> MakeFrame(const Ref<TPixmap>& pixmap, int32_t flags) override;
    void ApplyBlend(int32_t mode) override;
    void ApplyLineWidth(float width) override;
    void PlotPixel(float x, float y) override;
    void StrokeLine(float x0, float y0, float x1, float y1, float tx, float ty) override;
    void FillQuad(float x0, float y0, float x1, float y1, float tx, float ty) override;
    void FillOval(float x0, float y0, float x1, float y1, float tx, float ty) override;
    void FillPolygon(const std::vector<float>& points, float handleX, float handleY,
                     float originX, float originY) override;
    void BlitPixmap(const Ref<TPixmap>& pixmap, int32_t x, int32_t y) override;
    // Read with blending solid.
    Ref<TPixmap> ReadPixmap(int32_t x, int32_t y, int32_t width, int32_t height) override;

protected:
    Ref<TKaz2DDriver> Shared() const override;
    // Forgets the cached state and sets a pixel projection (origin top left, y down).
    void PrepareContext(TGLContextRecord& record, int32_t width, int32_t height) override;
    Ref<TGLFrameBase> MakeTargetFrame(const Ref<TPixmap>& pixels, int32_t flags) override;
    void PrepareImageTarget(int32_t width, int32_t height) override;
    // The colour and matrix of GLRenderState().
    TGLDrawState& CurrentDrawState() override;
    // Sends the colour as the context's current colour.
    void ColourChanged() override;
};

}  // namespace qrv
