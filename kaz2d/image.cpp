#include "kaz2d/image.h"

#include "kaz2d/graphics_module.h"
#include "kaz2d/kaz2d_graphics.h"
#include "pixmap/pixmap_loader.h"
#include "pixmap/pixmap_transform.h"

namespace qrv {

Ref<TImageFrame> TImage::Frame(int32_t index) {
    if (!HasFrame(index)) return nullptr;
    if (sequences[index] != contextGeneration) {
        const Ref<TPixmap> pixmap = Lock(index, true, false);
        const Ref<TKaz2DDriver> driver = CurrentKaz2DDriver();
        frames[index] = driver && pixmap ? driver->MakeFrame(pixmap, flags) : nullptr;
        sequences[index] = frames[index] ? contextGeneration : 0;
    }
    return frames[index];
}

Ref<TPixmap> TImage::Lock(int32_t index, bool /*read*/, bool write) {
    if (!HasFrame(index)) return nullptr;
    if (write) DropFrame(index);
    if (!pixmaps[index]) pixmaps[index] = NewPixmap(width, height, FormatRGBA8888, 4);
    return pixmaps[index];
}

void TImage::SetPixmap(int32_t index, Ref<TPixmap> pixmap) {
    if (!HasFrame(index)) return;
    if ((flags & IMG_MASKED) && pixmap && AlphaBits(pixmap->Format()) == 0)
        pixmap = KeyOutColor(pixmap, maskRed, maskGreen, maskBlue);
    pixmaps[index] = std::move(pixmap);
    DropFrame(index);
}

void TImage::DropFrame(int32_t index) {
    frames[index] = nullptr;
    sequences[index] = 0;
}

Ref<TImage> TImage::Create(int32_t width, int32_t height, int32_t frameCount, int32_t flags,
                           int32_t maskRed, int32_t maskGreen, int32_t maskBlue) {
    if (frameCount < 0) return nullptr;
    auto image = std::make_shared<TImage>();
    image->width = width;
    image->height = height;
    image->flags = flags;
    image->maskRed = maskRed;
    image->maskGreen = maskGreen;
    image->maskBlue = maskBlue;
    const auto count = static_cast<size_t>(frameCount);
    image->pixmaps.resize(count);
    image->frames.resize(count);
    image->sequences.resize(count, 0);
    return image;
}

Ref<TPixmap> PixmapOfSource(const Ref<TObject>& source) {
    if (auto pixmap = std::dynamic_pointer_cast<TPixmap>(source)) return pixmap;
    return source ? PixmapFromUrl(source) : nullptr;
}

namespace {

// The source loaded for a masked image: a picture without alpha may come decoded straight to
// RGBA and keyed as it was decoded, the same pixels as keying a converted copy would give.
Ref<TPixmap> MaskedPixmapOfSource(const Ref<TObject>& source, int32_t maskRed,
                                  int32_t maskGreen, int32_t maskBlue) {
    if (!source || std::dynamic_pointer_cast<TPixmap>(source)) return PixmapOfSource(source);
    bool keyed = false;
    Ref<TPixmap> pixmap = PixmapFromUrlKeyed(source, {maskRed, maskGreen, maskBlue}, keyed);
    if (pixmap && keyed) SpreadKeyedColours(*pixmap);
    return pixmap;
}

}  // namespace

Ref<TImage> TImage::Load(const Ref<TObject>& source, int32_t flags, int32_t maskRed,
                         int32_t maskGreen, int32_t maskBlue) {
    const Ref<TPixmap> pixmap = flags & IMG_MASKED
                                    ? MaskedPixmapOfSource(source, maskRed, maskGreen, maskBlue)
                                    : PixmapOfSource(source);
    if (!pixmap) return nullptr;
    Ref<TImage> image =
        Create(pixmap->Width(), pixmap->Height(), 1, flags, maskRed, maskGreen, maskBlue);
    image->SetPixmap(0, pixmap);
    return image;
}

Ref<TImage> TImage::LoadAnim(const Ref<TObject>& source, int32_t cellWidth, int32_t cellHeight,
                             int32_t first, int32_t count, int32_t flags, int32_t maskRed,
                             int32_t maskGreen, int32_t maskBlue) {
    if (cellWidth <= 0 || cellHeight <= 0 || first < 0 || count < 0) return nullptr;
    const Ref<TPixmap> pixmap = PixmapOfSource(source);
    if (!pixmap) return nullptr;
    const int64_t across = pixmap->Width() / cellWidth;
    const int64_t down = pixmap->Height() / cellHeight;
    if (across * down < int64_t{first} + count) return nullptr;
    Ref<TImage> image = Create(cellWidth, cellHeight, count, flags, maskRed, maskGreen, maskBlue);
    for (int32_t i = first; i < first + count; ++i) {
        const auto x = static_cast<int32_t>(cellWidth * (i % across));
        const auto y = static_cast<int32_t>(cellHeight * (i / across));
        image->SetPixmap(i - first, Duplicate(pixmap->SubRegion(x, y, cellWidth, cellHeight)));
    }
    return image;
}

}  // namespace qrv
