#include "kaz2d/image.h"

#include <string>

#include "core/failure.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/kaz2d_graphics.h"
#include "pixmap/pixmap_loader.h"
#include "pixmap/pixmap_transform.h"
#include "stream/embedded_files.h"
#include "stream/url_failure.h"

namespace qrv {

namespace {

// The source as a pixmap: itself when it is one, else loaded from it as a URL.
Ref<TPixmap> PixmapOfSource(const Ref<TObject>& source) {
    if (auto pixmap = std::dynamic_pointer_cast<TPixmap>(source)) return pixmap;
    if (!source) {
        SetLastFailure("no picture to load: the source is none");
        return nullptr;
    }
    return PixmapFromUrl(source);
}

// How a reason names the source of an image.
std::string SourceForFailure(const Ref<TObject>& source) {
    return std::dynamic_pointer_cast<TPixmap>(source) ? "the pixmap given" : UrlForFailure(source);
}

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

// The pixels Load gives a frame of the source: decoded, and keyed when the image is masked.
Ref<TPixmap> LoadedPixels(const Ref<TObject>& source, int32_t flags, TKeyColour mask) {
    if (!(flags & IMG_MASKED)) return PixmapOfSource(source);
    Ref<TPixmap> pixmap = MaskedPixmapOfSource(source, mask.red, mask.green, mask.blue);
    if (pixmap && AlphaBits(pixmap->Format()) == 0)
        pixmap = KeyOutColor(pixmap, mask.red, mask.green, mask.blue);
    return pixmap;
}

bool IsEmbeddedSource(const Ref<TObject>& source) {
    const std::u16string* url = AsText(source);
    return url && IsEmbeddedFileUrl(*url);
}

}  // namespace

Ref<TImageFrame> TImage::Frame(int32_t index) {
    TImageFrame* frame = DrawableFrame(index);
    if (!frame) return nullptr;
    for (const TRendererFrame& f : frames[index])
        if (f.frame.get() == frame) return f.frame;
    return nullptr;
}

TImageFrame* TImage::DrawableFrame(int32_t index) {
    TKaz2DDriver* renderer = CurrentKaz2DDriverPointer();
    if (!HasFrame(index) || !renderer) return nullptr;
    std::vector<TRendererFrame>& made = frames[index];
    // Drawing asks for the same frame again and again: a current one is found without a change.
    for (const TRendererFrame& f : made)
        if (f.renderer == renderer && f.sequence == contextGeneration) return f.frame.get();
    // Frames made before the default graphics last opened or closed are made again.
    std::erase_if(made, [](const TRendererFrame& f) { return f.sequence != contextGeneration; });
    const Ref<TPixmap> pixmap = embedded[index].source ? Pixels(index) : Lock(index, true, false);
    Ref<TImageFrame> frame = pixmap ? renderer->MakeFrame(pixmap, flags) : nullptr;
    if (!frame) return nullptr;
    made.push_back({renderer, contextGeneration, frame});
    return frame.get();
}

Ref<TPixmap> TImage::Lock(int32_t index, bool /*read*/, bool write) {
    if (!HasFrame(index)) return nullptr;
    if (write) DropFrame(index);
    if (!pixmaps[index]) pixmaps[index] = Pixels(index);
    if (!pixmaps[index]) pixmaps[index] = NewPixmap(width, height, FormatRGBA8888, 4);
    embedded[index] = {};
    return pixmaps[index];
}

void TImage::SetPixmap(int32_t index, Ref<TPixmap> pixmap) {
    if (!HasFrame(index)) return;
    pixmaps[index] = Masked(std::move(pixmap));
    embedded[index] = {};
    DropFrame(index);
}

Ref<TPixmap> TImage::Pixels(int32_t index) const {
    if (!HasFrame(index)) return nullptr;
    if (pixmaps[index] || !embedded[index].source) return pixmaps[index];
    const TEmbeddedPixels& from = embedded[index];
    return LoadedPixels(from.source, from.flags, from.mask);
}

Ref<TPixmap> TImage::Masked(Ref<TPixmap> pixmap) const {
    if ((flags & IMG_MASKED) && pixmap && AlphaBits(pixmap->Format()) == 0)
        return KeyOutColor(pixmap, maskRed, maskGreen, maskBlue);
    return pixmap;
}

void TImage::ReleaseFrames() {
    for (int32_t index = 0; index < FrameCount(); ++index) DropFrame(index);
}

Ref<TImageFrame> TImage::FrameMadeBy(int32_t index, const TKaz2DDriver* renderer) const {
    if (!HasFrame(index)) return nullptr;
    for (const TRendererFrame& f : frames[index])
        if (f.renderer == renderer && f.sequence == contextGeneration) return f.frame;
    return nullptr;
}

void TImage::TakeDrawnFrame(int32_t index, const TKaz2DDriver* renderer, Ref<TImageFrame> frame,
                            Ref<TPixmap> drawn) {
    if (!HasFrame(index)) return;
    if (drawn) {
        pixmaps[index] = std::move(drawn);
        embedded[index] = {};
    }
    DropFrame(index);
    if (frame) frames[index].push_back({renderer, contextGeneration, std::move(frame)});
}

void TImage::DropFrame(int32_t index) {
    frames[index].clear();
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
    image->embedded.resize(count);
    image->frames.resize(count);
    return image;
}

Ref<TImage> TImage::Load(const Ref<TObject>& source, int32_t flags, int32_t maskRed,
                         int32_t maskGreen, int32_t maskBlue) {
    const TKeyColour mask{maskRed, maskGreen, maskBlue};
    Ref<TPixmap> pixmap = LoadedPixels(source, flags, mask);
    if (!pixmap) return nullptr;
    Ref<TImage> image =
        Create(pixmap->Width(), pixmap->Height(), 1, flags, maskRed, maskGreen, maskBlue);
    // Decoded once to know the picture is whole and how large; an embedded one is decoded
    // again when it is drawn.
    if (IsEmbeddedSource(source)) {
        image->embedded[0] = {MakeText(*AsText(source)), flags, mask};
    } else {
        image->pixmaps[0] = std::move(pixmap);
    }
    return image;
}

Ref<TImage> TImage::LoadAnim(const Ref<TObject>& source, int32_t cellWidth, int32_t cellHeight,
                             int32_t first, int32_t count, int32_t flags, int32_t maskRed,
                             int32_t maskGreen, int32_t maskBlue) {
    if (cellWidth <= 0 || cellHeight <= 0 || first < 0 || count < 0) {
        SetLastFailure(SourceForFailure(source) + ": cells of " + std::to_string(cellWidth) +
                       " x " + std::to_string(cellHeight) + " from cell " + std::to_string(first) +
                       ", " + std::to_string(count) +
                       " of them: sizes must be positive, first and count not negative");
        return nullptr;
    }
    const Ref<TPixmap> pixmap = PixmapOfSource(source);
    if (!pixmap) return nullptr;
    const int64_t across = pixmap->Width() / cellWidth;
    const int64_t down = pixmap->Height() / cellHeight;
    if (across * down < int64_t{first} + count) {
        SetLastFailure(SourceForFailure(source) + ": holds " + std::to_string(across * down) +
                       " cells of " + std::to_string(cellWidth) + " x " +
                       std::to_string(cellHeight) + ", too few for cells " +
                       std::to_string(first) + " to " + std::to_string(int64_t{first} + count - 1));
        return nullptr;
    }
    Ref<TImage> image = Create(cellWidth, cellHeight, count, flags, maskRed, maskGreen, maskBlue);
    for (int32_t i = first; i < first + count; ++i) {
        const auto x = static_cast<int32_t>(cellWidth * (i % across));
        const auto y = static_cast<int32_t>(cellHeight * (i / across));
        image->SetPixmap(i - first, Duplicate(pixmap->SubRegion(x, y, cellWidth, cellHeight)));
    }
    return image;
}

}  // namespace qrv
