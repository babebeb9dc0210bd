#pragma once

#include <cstdint>
#include <vector>

#include "kaz2d/kaz2d_graphics.h"
#include "pixmap/pixmap.h"

namespace qrv {

// Initialises the graphics and pixmap modules first; once.
void InitKaz2DModule();

// The setters store into the current Kaz2D context and send the value to its renderer; the
// getters read the context. With no current context the setters do nothing and the getters
// give zeros.
// SetDrawColor and GetDrawColor: the colour shapes, text and images are drawn with, each 0..255
// (clamped when sent).
void SetDrawColor(int32_t red, int32_t green, int32_t blue);
void GetDrawColor(int32_t& red, int32_t& green, int32_t& blue);
// SetDrawAlpha and GetDrawAlpha: the opacity of what is drawn, 0 (invisible) to 1 (clamped when
// sent).
void SetDrawAlpha(float alpha);
float GetDrawAlpha();
// SetClearColor and GetClearColor: the colour ClearScreen fills with, each 0..255.
void SetClearColor(int32_t red, int32_t green, int32_t blue);
void GetClearColor(int32_t& red, int32_t& green, int32_t& blue);
// SetLineThickness and GetLineThickness: the width of lines in pixels.
void SetLineThickness(float width);
float GetLineThickness();
// SetBlendMode and GetBlendMode: how drawing mixes with what is below, a BLEND_ value; pictures
// with soft alpha need BLEND_ALPHA.
void SetBlendMode(int32_t mode);
int32_t GetBlendMode();
// SetViewportRect and GetViewportRect: the rectangle, in window pixels, that drawing is clipped
// to.
void SetViewportRect(int32_t x, int32_t y, int32_t width, int32_t height);
void GetViewportRect(int32_t& x, int32_t& y, int32_t& width, int32_t& height);
// The origin is added to every drawing position.
void SetDrawOrigin(float x, float y);
// GetDrawOrigin gives the origin back.
void GetDrawOrigin(float& x, float& y);
// The handle is the local point placed at the drawing position of shapes and text.
void SetDrawHandle(float x, float y);
// GetDrawHandle gives the handle back.
void GetDrawHandle(float& x, float& y);
// SetDrawRotation and GetDrawRotation: the rotation in degrees, clockwise on screen; setting it
// recomputes the drawing matrix.
void SetDrawRotation(float degrees);
float GetDrawRotation();
// SetDrawScale and GetDrawScale: the scale along x and y (1 for none).
void SetDrawScale(float scaleX, float scaleY);
void GetDrawScale(float& scaleX, float& scaleY);
// Sets rotation (degrees) and scale at once, recomputing the matrix once.
void SetDrawTransform(float degrees, float scaleX, float scaleY);

// The colour made transparent in masked images loaded from now on (process-wide).
void SetImageMaskColor(int32_t red, int32_t green, int32_t blue);
// Gives the mask colour back.
void GetImageMaskColor(int32_t& red, int32_t& green, int32_t& blue);

// Makes font the context's image font; none selects the default font.
void SelectFont(const Ref<TImageFont>& font);
// The context's image font, or none without a context.
Ref<TImageFont> CurrentFont();

// Fills the viewport (the whole back buffer unless one is set) with the clear colour.
void ClearScreen();
// One pixel at (x, y) plus the origin; handle and matrix do not apply.
void PlotPoint(float x, float y);
// A filled rectangle with its handle point at (x, y) plus the origin, under the drawing matrix.
void FillRect(float x, float y, float width, float height);
// With lastPixel set the far end point is plotted too.
void DrawLineSegment(float x0, float y0, float x1, float y1, bool lastPixel);
// A filled ellipse inscribed in the rectangle FillRect would fill with the same arguments.
void FillEllipse(float x, float y, float width, float height);
// points holds x0, y0, x1, y1 ...; fewer than three points draw nothing.
void FillPolygonPoints(const std::vector<float>& points);
// Copies the pixmap with its top left at window pixel (x, y): no origin, handle, matrix or
// viewport.
void DrawPixmapAt(const Ref<TPixmap>& pixmap, int32_t x, int32_t y);
// The back-buffer pixels of the rectangle, top row first; none without a context.
[[nodiscard]] Ref<TPixmap> GrabPixmapRect(int32_t x, int32_t y, int32_t width, int32_t height);

// Recomputes the drawing matrix from rotation and scale and sends it to the renderer again.
void RefreshDrawMatrix();

}  // namespace qrv
