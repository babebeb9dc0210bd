#include "kaz2d/image_module.h"

#include <cmath>

#include "kaz2d/kaz2d_graphics.h"
#include "kaz2d/kaz2d_module.h"
#include "pixmap/pixmap_transform.h"

namespace qrv {

namespace {

int32_t defaultImageFlags = IMG_MASKED | IMG_FILTERED;
bool autoCentreHandle = false;

int32_t ResolveFlags(int32_t flags) {
    return flags == -1 ? defaultImageFlags : flags;
}

Ref<TImage> WithAutoHandle(Ref<TImage> image) {
    if (image && autoCentreHandle) CentreImageHandle(image);
    return image;
}

// The first tile position at or before the viewport start, so that a tile lands on p. A tile
// moved on by a fraction from the viewport start leaves the first pixels to the one before.
int64_t FirstTile(int64_t viewportStart, int64_t size, int64_t p, float fraction) {
    const int64_t start = viewportStart - size + 1;
    int64_t offset = (p - start) % size;
    if (offset < 0) offset += size;
    if (fraction > 0 && start + offset == viewportStart) return viewportStart - size;
    return start + offset;
}

// Positions that tile arithmetic in 64-bit integers can hold.
bool WithinTileRange(double p) {
    return std::isfinite(p) && std::abs(p) < 1e15;
}

}  // namespace

Ref<TImage> LoadImageFromUrl(const Ref<TObject>& source, int32_t flags) {
    int32_t r = 0, g = 0, b = 0;
    GetImageMaskColor(r, g, b);
    return WithAutoHandle(TImage::Load(source, ResolveFlags(flags), r, g, b));
}

Ref<TImage> LoadImageFromUrl(std::u16string_view url, int32_t flags) {
    return LoadImageFromUrl(MakeText(std::u16string(url)), flags);
}

Ref<TImage> LoadAnimImageFromUrl(const Ref<TObject>& source, int32_t cellWidth,
                                 int32_t cellHeight, int32_t first, int32_t count, int32_t flags) {
    int32_t r = 0, g = 0, b = 0;
    GetImageMaskColor(r, g, b);
    return WithAutoHandle(TImage::LoadAnim(source, cellWidth, cellHeight, first, count,
                                           ResolveFlags(flags), r, g, b));
}

Ref<TImage> CreateBlankImage(int32_t width, int32_t height, int32_t frameCount, int32_t flags) {
    int32_t r = 0, g = 0, b = 0;
    GetImageMaskColor(r, g, b);
    return WithAutoHandle(
        TImage::Create(width, height, frameCount, ResolveFlags(flags) | IMG_DYNAMIC, r, g, b));
}

void PlaceImageHandle(const Ref<TImage>& image, float x, float y) {
    if (!image) return;
    image->handleX = x;
    image->handleY = y;
}

void CentreImageHandle(const Ref<TImage>& image) {
    if (!image) return;
    image->handleX = static_cast<float>(image->width) * 0.5f;
    image->handleY = static_cast<float>(image->height) * 0.5f;
}

void SetAutoCentreHandle(bool on) {
    autoCentreHandle = on;
}

bool AutoCentreHandle() {
    return autoCentreHandle;
}

void SetDefaultImageFlags(int32_t flags) {
    if (flags != -1) defaultImageFlags = flags;
}

int32_t DefaultImageFlags() {
    return defaultImageFlags;
}

int32_t WidthOfImage(const Ref<TImage>& image) {
    return image ? image->width : 0;
}

int32_t HeightOfImage(const Ref<TImage>& image) {
    return image ? image->height : 0;
}

Ref<TPixmap> OpenImagePixels(const Ref<TImage>& image, int32_t frame, bool read, bool write) {
    return image ? image->Lock(frame, read, write) : nullptr;
}

void CloseImagePixels(const Ref<TImage>&, int32_t) {}

void CopyScreenToImage(const Ref<TImage>& image, int32_t x, int32_t y, int32_t frame) {
    const Ref<TKaz2DDriver> driver = CurrentKaz2DDriver();
    if (!image || !driver) return;
    Ref<TPixmap> pixmap = driver->ReadPixmap(x, y, image->width, image->height);
    if (!pixmap) return;
    if (image->flags & IMG_MASKED) {
        int32_t r = 0, g = 0, b = 0;
        GetImageMaskColor(r, g, b);
        pixmap = KeyOutColor(pixmap, r, g, b);
    }
    image->SetPixmap(frame, pixmap);
}

void DrawImageRectAt(const Ref<TImage>& image, float x, float y, float width, float height,
                     int32_t frame) {
    // Drawn at once, so neither the context nor the frame needs a reference of its own.
    const TKaz2DGraphics* context = TKaz2DGraphics::Current();
    if (!image || !context) return;
    TImageFrame* f = image->DrawableFrame(frame);
    if (!f) return;
    const float hx = image->handleX;
    const float hy = image->handleY;
    f->Draw(-hx, -hy, -hx + width, -hy + height, x + context->originX, y + context->originY);
}

void DrawImageAt(const Ref<TImage>& image, float x, float y, int32_t frame) {
    if (!image) return;
    DrawImageRectAt(image, x, y, static_cast<float>(image->width),
                    static_cast<float>(image->height), frame);
}

void TileImageAt(const Ref<TImage>& image, float x, float y, int32_t frame) {
    const Ref<TKaz2DGraphics> c = TKaz2DGraphics::CurrentContext();
    if (!image || !c || !c->driver || image->width <= 0 || image->height <= 0) return;
    const Ref<TImageFrame> f = image->Frame(frame);
    if (!f) return;
    const int64_t w = image->width;
    const int64_t h = image->height;
    const double px = static_cast<double>(x) + c->originX - image->handleX;
    const double py = static_cast<double>(y) + c->originY - image->handleY;
    if (!WithinTileRange(px) || !WithinTileRange(py)) return;
    const double floorX = std::floor(px);
    const double floorY = std::floor(py);
    const auto fx = static_cast<float>(px - floorX);
    const auto fy = static_cast<float>(py - floorY);
    const int64_t startX = FirstTile(c->viewportX, w, static_cast<int64_t>(floorX), fx);
    const int64_t startY = FirstTile(c->viewportY, h, static_cast<int64_t>(floorY), fy);
    const int64_t endX = int64_t{c->viewportX} + c->viewportWidth;
    const int64_t endY = int64_t{c->viewportY} + c->viewportHeight;
    const auto fw = static_cast<float>(w);
    const auto fh = static_cast<float>(h);
    c->driver->ApplyTransform(1, 0, 0, 1);
    for (int64_t ty = startY; ty < endY; ty += h)
        for (int64_t tx = startX; tx < endX; tx += w)
            f->Draw(0, 0, fw, fh, static_cast<float>(tx) + fx, static_cast<float>(ty) + fy);
    RefreshDrawMatrix();
}

}  // namespace qrv
