#include "kaz2d/kaz2d_module.h"

#include "kaz2d/graphics_module.h"
#include "kaz2d/image_font_module.h"
#include "kaz2d/kaz2d_data_types.h"
#include "pixmap/pixmap_module.h"

namespace qrv {

namespace {

struct TMaskColor {
    int32_t red = 0;
    int32_t green = 0;
    int32_t blue = 0;
};

TMaskColor imageMaskColor;

// The current context and its driver, or nullptr: every operation does nothing without them.
TKaz2DGraphics* Context() {
    TKaz2DGraphics* context = TKaz2DGraphics::Current();
    return context && context->driver ? context : nullptr;
}

}  // namespace

void InitKaz2DModule() {
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitGraphicsModule();
    InitPixmapModule();
    InitImageFontModule();
    RegisterKaz2DDataTypes();
}

void SetDrawColor(int32_t red, int32_t green, int32_t blue) {
    TKaz2DGraphics* c = Context();
    if (!c) return;
    c->red = red;
    c->green = green;
    c->blue = blue;
    c->driver->ApplyColor(red, green, blue);
}

void GetDrawColor(int32_t& red, int32_t& green, int32_t& blue) {
    const TKaz2DGraphics* c = Context();
    red = c ? c->red : 0;
    green = c ? c->green : 0;
    blue = c ? c->blue : 0;
}

void SetDrawAlpha(float alpha) {
    TKaz2DGraphics* c = Context();
    if (!c) return;
    c->alpha = alpha;
    c->driver->ApplyAlpha(alpha);
}

float GetDrawAlpha() {
    const TKaz2DGraphics* c = Context();
    return c ? c->alpha : 0.0f;
}

void SetClearColor(int32_t red, int32_t green, int32_t blue) {
    TKaz2DGraphics* c = Context();
    if (!c) return;
    c->clearRed = red;
    c->clearGreen = green;
    c->clearBlue = blue;
    c->driver->ApplyClearColor(red, green, blue);
}

void GetClearColor(int32_t& red, int32_t& green, int32_t& blue) {
    const TKaz2DGraphics* c = Context();
    red = c ? c->clearRed : 0;
    green = c ? c->clearGreen : 0;
    blue = c ? c->clearBlue : 0;
}

void SetLineThickness(float width) {
    TKaz2DGraphics* c = Context();
    if (!c) return;
    c->lineWidth = width;
    c->driver->ApplyLineWidth(width);
}

float GetLineThickness() {
    const TKaz2DGraphics* c = Context();
    return c ? c->lineWidth : 0.0f;
}

void SetBlendMode(int32_t mode) {
    TKaz2DGraphics* c = Context();
    if (!c) return;
    c->blendMode = mode;
    c->driver->ApplyBlend(mode);
}

int32_t GetBlendMode() {
    const TKaz2DGraphics* c = Context();
    return c ? c->blendMode : 0;
}

void SetViewportRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    TKaz2DGraphics* c = Context();
    if (!c) return;
    c->viewportX = x;
    c->viewportY = y;
    c->viewportWidth = width;
    c->viewportHeight = height;
    c->driver->ApplyViewport(x, y, width, height);
}

void GetViewportRect(int32_t& x, int32_t& y, int32_t& width, int32_t& height) {
    const TKaz2DGraphics* c = Context();
    x = c ? c->viewportX : 0;
    y = c ? c->viewportY : 0;
    width = c ? c->viewportWidth : 0;
    height = c ? c->viewportHeight : 0;
}

void SetDrawOrigin(float x, float y) {
    TKaz2DGraphics* c = Context();
    if (!c) return;
    c->originX = x;
    c->originY = y;
}

void GetDrawOrigin(float& x, float& y) {
    const TKaz2DGraphics* c = Context();
    x = c ? c->originX : 0.0f;
    y = c ? c->originY : 0.0f;
}

void SetDrawHandle(float x, float y) {
    TKaz2DGraphics* c = Context();
    if (!c) return;
    c->handleX = -x;
    c->handleY = -y;
}

void GetDrawHandle(float& x, float& y) {
    const TKaz2DGraphics* c = Context();
    x = c ? -c->handleX : 0.0f;
    y = c ? -c->handleY : 0.0f;
}

void RefreshDrawMatrix() {
    if (TKaz2DGraphics* c = Context()) c->ApplyMatrix();
}

void SetDrawRotation(float degrees) {
    TKaz2DGraphics* c = Context();
    if (!c) return;
    c->rotation = degrees;
    c->ApplyMatrix();
}

float GetDrawRotation() {
    const TKaz2DGraphics* c = Context();
    return c ? c->rotation : 0.0f;
}

void SetDrawScale(float scaleX, float scaleY) {
    TKaz2DGraphics* c = Context();
    if (!c) return;
    c->scaleX = scaleX;
    c->scaleY = scaleY;
    RefreshDrawMatrix();
}

void GetDrawScale(float& scaleX, float& scaleY) {
    const TKaz2DGraphics* c = Context();
    scaleX = c ? c->scaleX : 0.0f;
    scaleY = c ? c->scaleY : 0.0f;
}

void SetDrawTransform(float degrees, float scaleX, float scaleY) {
    TKaz2DGraphics* c = Context();
    if (!c) return;
    c->rotation = degrees;
    c->scaleX = scaleX;
    c->scaleY = scaleY;
    RefreshDrawMatrix();
}

void SetImageMaskColor(int32_t red, int32_t green, int32_t blue) {
    imageMaskColor = {red, green, blue};
}

void GetImageMaskColor(int32_t& red, int32_t& green, int32_t& blue) {
    red = imageMaskColor.red;
    green = imageMaskColor.green;
    blue = imageMaskColor.blue;
}

void SelectFont(const Ref<TImageFont>& font) {
    TKaz2DGraphics* c = Context();
    if (!c) return;
    c->imageFont = font ? font : DefaultImageFont();
}

Ref<TImageFont> CurrentFont() {
    const TKaz2DGraphics* c = Context();
    return c ? c->imageFont : nullptr;
}

void ClearScreen() {
    if (TKaz2DGraphics* c = Context()) c->driver->ClearBuffer();
}

void PlotPoint(float x, float y) {
    if (TKaz2DGraphics* c = Context()) c->driver->PlotPixel(x + c->originX, y + c->originY);
}

void FillRect(float x, float y, float width, float height) {
    TKaz2DGraphics* c = Context();
    if (!c) return;
    c->driver->FillQuad(c->handleX, c->handleY, c->handleX + width, c->handleY + height,
                        x + c->originX, y + c->originY);
}

void DrawLineSegment(float x0, float y0, float x1, float y1, bool lastPixel) {
    TKaz2DGraphics* c = Context();
    if (!c) return;
    const float hx = c->handleX;
    const float hy = c->handleY;
    c->driver->StrokeLine(hx, hy, hx + x1 - x0, hy + y1 - y0, x0 + c->originX, y0 + c->originY);
    if (!lastPixel) return;
    // The far end as the line's mapping places it; lines leave their last pixel out.
    const float p = x1 + hx - x0;
    const float q = y1 + hy - y0;
    c->driver->PlotPixel(x0 + p * c->ix + q * c->iy + c->originX,
                         y0 + p * c->jx + q * c->jy + c->originY);
}

void FillEllipse(float x, float y, float width, float height) {
    TKaz2DGraphics* c = Context();
    if (!c) return;
    c->driver->FillOval(c->handleX, c->handleY, c->handleX + width, c->handleY + height,
                        x + c->originX, y + c->originY);
}

void FillPolygonPoints(const std::vector<float>& points) {
    TKaz2DGraphics* c = Context();
    if (!c) return;
    c->driver->FillPolygon(points, c->handleX, c->handleY, c->originX, c->originY);
}

void DrawPixmapAt(const Ref<TPixmap>& pixmap, int32_t x, int32_t y) {
    TKaz2DGraphics* c = Context();
    if (c && pixmap) c->driver->BlitPixmap(pixmap, x, y);
}

Ref<TPixmap> GrabPixmapRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    TKaz2DGraphics* c = Context();
    return c ? c->driver->ReadPixmap(x, y, width, height) : nullptr;
}

}  // namespace qrv
