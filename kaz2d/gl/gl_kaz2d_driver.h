#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "kaz2d/kaz2d_driver.h"

namespace qrv {

// The Kaz2D renderer on fixed-function OpenGL in immediate mode, over the contexts of the
// OpenGL graphics driver. One instance per process; its text form is "OpenGL".
class TGLKaz2DDriver final : public TKaz2DDriver {
public:
    static Ref<TGLKaz2DDriver> Instance();

    std::u16string ToString() const override;

    std::vector<TGraphicsMode> EnumerateModes() override;
    Ref<TGraphics> AttachContext(void* window, int32_t flags) override;
    Ref<TGraphics> CreateContext(int32_t width, int32_t height, int32_t depth, int32_t hertz,
                                 int32_t flags) override;
    // Makes the wrapped context current with a pixel projection (origin top left, y down),
    // forgets the cached state and sends the context's drawing state again.
    void MakeCurrent(const Ref<TGraphics>& graphics) override;
    void PresentBuffer(int32_t sync) override;

    // Made in the shared context, so every context can draw it.
    Ref<TImageFrame> MakeFrame(const Ref<TPixmap>& pixmap, int32_t flags) override;
    void ApplyBlend(int32_t mode) override;
    // Clamped to 0..1.
    void ApplyAlpha(float alpha) override;
    // Each clamped to 0..255.
    void ApplyColor(int32_t red, int32_t green, int32_t blue) override;
    void ApplyClearColor(int32_t red, int32_t green, int32_t blue) override;
    // The whole window turns scissoring off; anything else scissors to the rectangle.
    void ApplyViewport(int32_t x, int32_t y, int32_t width, int32_t height) override;
    void ApplyTransform(float ix, float iy, float jx, float jy) override;
    void ApplyLineWidth(float width) override;
    void ClearBuffer() override;
    void PlotPixel(float x, float y) override;
    void StrokeLine(float x0, float y0, float x1, float y1, float tx, float ty) override;
    void FillQuad(float x0, float y0, float x1, float y1, float tx, float ty) override;
    void FillOval(float x0, float y0, float x1, float y1, float tx, float ty) override;
    void FillPolygon(const std::vector<float>& points, float handleX, float handleY,
                     float originX, float originY) override;
    void BlitPixmap(const Ref<TPixmap>& pixmap, int32_t x, int32_t y) override;
    Ref<TPixmap> ReadPixmap(int32_t x, int32_t y, int32_t width, int32_t height) override;
};

// Vertices of the ellipse in the box (x0, y0)-(x1, y1): the half-sides' sum, at least 12,
// rounded down to a multiple of 4.
int32_t OvalVertexCount(float x0, float y0, float x1, float y1);
// Calls emit(x, y) for each of the oval's OvalVertexCount points, counter-clockwise on screen from
// the rightmost one; both renderers draw ovals through it.
template <typename Emit>
void ForEachOvalVertex(float x0, float y0, float x1, float y1, Emit&& emit) {
    const int32_t n = OvalVertexCount(x0, y0, x1, y1);
    const float xr = (x1 - x0) * 0.5f;
    const float yr = (y1 - y0) * 0.5f;
    const float cx = x0 + xr;
    const float cy = y0 + yr;
    for (int32_t i = 0; i < n; ++i) {
        const double angle = i * 360.0 / n * std::numbers::pi / 180.0;
        emit(xr * static_cast<float>(std::cos(angle)) + cx, cy - yr * static_cast<float>(std::sin(angle)));
    }
}

// Initialises the Kaz2D and OpenGL graphics modules and selects the OpenGL Kaz2D driver; once.
void InitGLKaz2DModule();

}  // namespace qrv
