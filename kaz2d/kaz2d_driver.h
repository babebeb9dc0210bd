#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kaz2d/graphics.h"
#include "kaz2d/image_frame.h"
#include "pixmap/pixmap.h"

namespace qrv {

// Blend modes. A picture with alpha (a PNG with soft edges) looks smooth only under BLEND_ALPHA;
// under BLEND_MASK, the default, each pixel is drawn fully or not at all.
inline constexpr int32_t BLEND_MASK = 1;   // opaque; pixels with alpha below one half are dropped
inline constexpr int32_t BLEND_SOLID = 2;  // opaque, alpha ignored; also every unknown value
inline constexpr int32_t BLEND_ALPHA = 3;  // source over destination by source alpha
inline constexpr int32_t BLEND_LIGHT = 4;  // additive, source scaled by its alpha
inline constexpr int32_t BLEND_SHADE = 5;  // destination multiplied by the source colour

// The renderer under the Kaz2D drawing layer. Its contexts are TKaz2DGraphics. A local point
// (lx, ly) of slots StrokeLine to FillPolygon and of image frames maps to the window point
// (lx * ix + ly * iy + tx, lx * jx + ly * jy + ty), with the last matrix given to ApplyTransform.
class TKaz2DDriver : public TGraphicsDriver {
public:
    // A frame holding the pixmap's pixels, or none.
    [[nodiscard]] virtual Ref<TImageFrame> MakeFrame(const Ref<TPixmap>& pixmap, int32_t flags) = 0;
    // ApplyBlend, ApplyAlpha, ApplyColor and ApplyClearColor: take the blend mode (a BLEND_ value),
    // the draw alpha (0..1) and the draw and clear colours (each 0..255) for what follows.
    virtual void ApplyBlend(int32_t mode) = 0;
    virtual void ApplyAlpha(float alpha) = 0;
    virtual void ApplyColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void ApplyClearColor(int32_t red, int32_t green, int32_t blue) = 0;
    // Clip rectangle in window pixels.
    virtual void ApplyViewport(int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    // The drawing matrix (ix, iy, jx, jy) of the mapping above.
    virtual void ApplyTransform(float ix, float iy, float jx, float jy) = 0;
    // Line width in pixels.
    virtual void ApplyLineWidth(float width) = 0;
    // Fills the viewport (the whole back buffer unless one is set) with the clear colour.
    virtual void ClearBuffer() = 0;
    // PlotPixel, StrokeLine and FillQuad: a pixel at window point (x, y); a line and a filled box
    // between the local points (x0, y0) and (x1, y1), mapped and translated by (tx, ty).
    virtual void PlotPixel(float x, float y) = 0;
    virtual void StrokeLine(float x0, float y0, float x1, float y1, float tx, float ty) = 0;
    virtual void FillQuad(float x0, float y0, float x1, float y1, float tx, float ty) = 0;
    // The ellipse inscribed in the local box.
    virtual void FillOval(float x0, float y0, float x1, float y1, float tx, float ty) = 0;
    // points holds x0, y0, x1, y1 ...; each point is offset by the handle, mapped, and
    // translated by the origin.
    virtual void FillPolygon(const std::vector<float>& points, float handleX, float handleY,
                             float originX, float originY) = 0;
    // Copies the pixels untransformed with their top left at (x, y).
    virtual void BlitPixmap(const Ref<TPixmap>& pixmap, int32_t x, int32_t y) = 0;
    // A new pixmap holding those back-buffer pixels, top row first.
    [[nodiscard]] virtual Ref<TPixmap> ReadPixmap(int32_t x, int32_t y, int32_t width,
                                                  int32_t height) = 0;

    // Sends the current context's drawing into an image frame of the pixels instead of the
    // window: a frame of this renderer holding them in a texture of its own (existing, this
    // renderer's frame of those pixels, when it can serve, else a new one), with window pixel
    // (0, 0) at the image's top left and the pixels' size as the picture's. Gives the frame
    // drawn into, or none with the reason set where drawing into images cannot be had here.
    [[nodiscard]] virtual Ref<TImageFrame> BeginImageTarget(const Ref<TImageFrame>& existing,
                                                            const Ref<TPixmap>& pixels,
                                                            int32_t flags, std::string& reason) {
        (void)existing, (void)pixels, (void)flags;
        reason = "this renderer cannot draw into images";
        return nullptr;
    }
    // Sends drawing to the window again and gives the pixels drawn into the image, top row
    // first; none when no image was the target or its context has gone.
    [[nodiscard]] virtual Ref<TPixmap> EndImageTarget() { return nullptr; }
};

}  // namespace qrv
