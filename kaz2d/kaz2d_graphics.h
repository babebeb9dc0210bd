#pragma once

#include <cstdint>
#include <memory>

#include "kaz2d/graphics.h"
#include "kaz2d/kaz2d_driver.h"

namespace qrv {

class TImageFont;

// The per-context drawing state of the Kaz2D layer, wrapping a context of the driver below.
// Selecting the context sends the whole state to the renderer again, so it survives switching
// between contexts.
class TKaz2DGraphics : public TGraphics, public std::enable_shared_from_this<TKaz2DGraphics> {
public:
    Ref<TGraphicsDriver> GetDriver() override;
    TGraphicsSettings GetSettings() override;
    // Closes the wrapped context and lets go of it and of the driver.
    void Close() override;
    // Sends every field to this record's renderer; an unset font becomes the default font.
    virtual void ApplyState();
    // Recomputes the drawing matrix from rotation and scale and sends it to the renderer.
    void ApplyMatrix();
    // Makes this the current Kaz2D context; the first time, clears and presents twice so that
    // both buffers start cleared.
    virtual void BecomeCurrent();

    // Leaves no Kaz2D context current (and no current driver); the context itself stays open.
    static void ClearCurrent();
    // The current context, by reference: the drawing calls ask for it on every call, and a
    // copied reference would cost two atomic count changes each time.
    static const Ref<TKaz2DGraphics>& CurrentContext();
    // The same context without the call, for the calls made per drawn shape; held by the
    // reference above.
    static TKaz2DGraphics* Current() { return currentPointer; }
    // A record with the default drawing state, its viewport covering the wrapped context.
    [[nodiscard]] static Ref<TKaz2DGraphics> CreateFor(const Ref<TGraphics>& graphics,
                                                       const Ref<TKaz2DDriver>& driver);

    // The state the calls of kaz2d_module.h set: draw colour (0..255) and alpha (0..1), clear
    // colour, line width in pixels, rotation and scale.
    int32_t red = 255;
    int32_t green = 255;
    int32_t blue = 255;
    float alpha = 1.0f;
    int32_t clearRed = 0;
    int32_t clearGreen = 0;
    int32_t clearBlue = 0;
    float lineWidth = 1.0f;
    float rotation = 0.0f;  // degrees
    // The scale along x and y.
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    // The drawing matrix computed from rotation and scale.
    float ix = 1.0f;
    float iy = 0.0f;
    float jx = 0.0f;
    float jy = 1.0f;
    // The viewport in window pixels, then the drawing origin.
    int32_t viewportX = 0;
    int32_t viewportY = 0;
    int32_t viewportWidth = 0;
    int32_t viewportHeight = 0;
    float originX = 0.0f;
    float originY = 0.0f;
    float handleX = 0.0f;  // the handle negated: the setter stores minus its arguments
    float handleY = 0.0f;
    // The font text is drawn in, and the blend mode (a BLEND_ value).
    Ref<TImageFont> imageFont;
    int32_t blendMode = BLEND_MASK;
    // The wrapped context and its renderer; cleared once BecomeCurrent has cleared both buffers.
    Ref<TGraphics> graphics;
    Ref<TKaz2DDriver> driver;
    bool cleared = false;

private:
    static inline TKaz2DGraphics* currentPointer = nullptr;
    // The sine and cosine of the rotation whose bits are kept: a matrix recomputed at the same
    // rotation (a scale change, the context selected again, shapes drawn at one angle) takes
    // them from here.
    uint32_t turnedBits = 0;  // 0.0f
    float turnedSine = 0.0f;
    float turnedCosine = 1.0f;
};

// The driver of the current Kaz2D context; none while there is none or it has been closed.
Ref<TKaz2DDriver> CurrentKaz2DDriver();
// The same driver without taking a reference, for calls made per drawn shape: it lives as
// long as the current context holds it.
TKaz2DDriver* CurrentKaz2DDriverPointer();

// The image font every new context starts with: none until the first context is created, then
// made by the maker the image-font module installs, and kept.
using TDefaultImageFontMaker = Ref<TImageFont> (*)();
// Installs the maker DefaultImageFont calls once; a font already made stays.
void SetDefaultImageFontMaker(TDefaultImageFontMaker maker);
// The default image font, made on the first call that finds a maker; none without one.
Ref<TImageFont> DefaultImageFont();

// A drawing matrix: where the x axis (ix, jx) and the y axis (iy, jy) of a shape go.
struct TCollisionMatrix {
    // The matrix (ix, iy, jx, jy) that maps a local point as TKaz2DDriver says; the identity
    // until a context computes one.
    float ix = 1.0f;
    float iy = 0.0f;
    float jx = 0.0f;
    float jy = 1.0f;
};
// The current context's drawing matrix as its last recomputation left it; the collisions read
// it while a context is current.
extern TCollisionMatrix collisionMatrix;
// The drawing matrix of a rotation in degrees and a scale, exactly as a context computes it.
[[nodiscard]] TCollisionMatrix DrawingMatrixOf(float degrees, float scaleX, float scaleY);

}  // namespace qrv
