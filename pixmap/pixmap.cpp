#include "pixmap/pixmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "pixmap/pixel_convert.h"

namespace qrv {

namespace {

uint8_t Channel(uint32_t argb, int shift) { return static_cast<uint8_t>(argb >> shift); }

uint32_t PackARGB(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return a << 24 | r << 16 | g << 8 | b;
}

// The bytes a w x h block starting at first spans, whatever the sign of the pitch.
struct TByteSpan {
    uintptr_t begin;
    uintptr_t end;
};

TByteSpan SpanOf(const uint8_t* first, int32_t pitch, int32_t w, int32_t h, int32_t format) {
    const auto start = reinterpret_cast<uintptr_t>(first);
    const auto lastRow = static_cast<uintptr_t>(start + static_cast<intptr_t>(h - 1) * pitch);
    const auto rowBytes = static_cast<uintptr_t>(w) * static_cast<uintptr_t>(BytesPerPixel(format));
    return {std::min(start, lastRow), std::max(start, lastRow) + rowBytes};
}

bool Overlap(TByteSpan a, TByteSpan b) { return a.begin < b.end && b.begin < a.end; }

}  // namespace

bool PixmapSizeFits(int64_t width, int64_t height) {
    // Each side is checked first, so that the product cannot overflow.
    constexpr int64_t kLargest = std::numeric_limits<int32_t>::max();
    if (width < 0 || height < 0 || width > kLargest || height > kLargest) return false;
    return width * height <= kLargest / 4;
}

TPixmap::TPixmap(TPasskey, uint8_t* pixels, int32_t width, int32_t height, int32_t pitch,
                 int32_t format, int32_t capacity, Ref<TPixmap> parent)
    : pixels(pixels), width(width), height(height), pitch(pitch), format(format),
      capacity(capacity), parent(std::move(parent)) {}

TPixmap::~TPixmap() {
    if (capacity >= 0) std::free(pixels);
}

Ref<TPixmap> TPixmap::Allocate(int32_t width, int32_t height, int32_t format, int32_t align,
                               bool cleared) {
    if (!IsValidPixelFormat(format) || !PixmapSizeFits(width, height)) return nullptr;
    int64_t alignment = std::max(align, 1);
    int64_t rowBytes = int64_t{width} * BytesPerPixel(format);
    int64_t pitch = (rowBytes + alignment - 1) / alignment * alignment;
    int64_t capacity = pitch * height;
    if (pitch > std::numeric_limits<int32_t>::max() || capacity > std::numeric_limits<int32_t>::max())
        return nullptr;
    const auto bytes = static_cast<size_t>(std::max<int64_t>(capacity, 1));
    // calloc: the contents are defined (zero) at no cost for large, freshly mapped blocks.
    auto* pixels = static_cast<uint8_t*>(cleared ? std::calloc(bytes, 1) : std::malloc(bytes));
    if (!pixels) return nullptr;
    if (!cleared && pitch > rowBytes) {
        for (int64_t row = 0; row < height; ++row)
            std::memset(pixels + row * pitch + rowBytes, 0, static_cast<size_t>(pitch - rowBytes));
    }
    return std::make_shared<TPixmap>(TPasskey{}, pixels, width, height, static_cast<int32_t>(pitch),
                                     format, static_cast<int32_t>(capacity), nullptr);
}

Ref<TPixmap> TPixmap::NewPixmap(int32_t width, int32_t height, int32_t format, int32_t align) {
    return Allocate(width, height, format, align, true);
}

Ref<TPixmap> TPixmap::NewPixmapForFilling(int32_t width, int32_t height, int32_t format,
                                          int32_t align) {
    return Allocate(width, height, format, align, false);
}

Ref<TPixmap> TPixmap::WrapPixelMemory(void* pixels, int32_t width, int32_t height, int32_t pitch,
                                      int32_t format) {
    if (!pixels || !IsValidPixelFormat(format) || !PixmapSizeFits(width, height)) return nullptr;
    if (height > 1 && std::abs(int64_t{pitch}) < int64_t{width} * BytesPerPixel(format))
        return nullptr;
    return std::make_shared<TPixmap>(TPasskey{}, static_cast<uint8_t*>(pixels), width, height,
                                     pitch, format, -1, nullptr);
}

uint8_t* TPixmap::PixelAddress(int32_t x, int32_t y) const {
    return pixels + int64_t{y} * pitch + int64_t{x} * BytesPerPixel(format);
}

Ref<TPixmap> TPixmap::SubRegion(int32_t x, int32_t y, int32_t w, int32_t h) {
    bool inside = x >= 0 && y >= 0 && w >= 0 && h >= 0 && int64_t{x} + w <= width &&
                  int64_t{y} + h <= height;
    if (!inside) return nullptr;
    return std::make_shared<TPixmap>(TPasskey{}, PixelAddress(x, y), w, h, pitch, format, -1,
                                     shared_from_this());
}

Ref<TPixmap> TPixmap::Duplicate() const {
    Ref<TPixmap> copy = NewPixmap(width, height, format, 4);
    if (!copy) return nullptr;
    size_t rowBytes = static_cast<size_t>(width) * BytesPerPixel(format);
    for (int32_t row = 0; row < height; ++row)
        std::memcpy(copy->PixelAddress(0, row), PixelAddress(0, row), rowBytes);
    return copy;
}

void TPixmap::PasteFrom(const TPixmap& source, int32_t x, int32_t y) {
    // Clip the source rectangle against this pixmap.
    int64_t left = std::max<int64_t>(0, -int64_t{x});
    int64_t top = std::max<int64_t>(0, -int64_t{y});
    int64_t right = std::min<int64_t>(source.width, int64_t{width} - x);
    int64_t bottom = std::min<int64_t>(source.height, int64_t{height} - y);
    if (left >= right || top >= bottom) return;
    auto sourceX = static_cast<int32_t>(left);
    auto count = static_cast<int32_t>(right - left);
    auto rows = static_cast<int32_t>(bottom - top);
    // A window pasted onto memory it shares (its parent, a sibling) would read rows already
    // overwritten: paste from a snapshot of the part that is read instead.
    const auto sourceTop = static_cast<int32_t>(top);
    const TByteSpan read = SpanOf(source.PixelAddress(sourceX, sourceTop), source.pitch, count,
                                  rows, source.format);
    const TByteSpan written =
        SpanOf(PixelAddress(x + sourceX, y + sourceTop), pitch, count, rows, format);
    if (Overlap(read, written)) {
        const Ref<TPixmap> part = WrapPixelMemory(source.PixelAddress(sourceX, sourceTop), count,
                                                  rows, source.pitch, source.format);
        const Ref<TPixmap> snapshot = part ? part->Duplicate() : nullptr;
        if (snapshot) PasteFrom(*snapshot, x + sourceX, y + sourceTop);
        return;
    }
    for (auto row = static_cast<int32_t>(top); row < bottom; ++row) {
        (void)ConvertPixelRun(source.PixelAddress(sourceX, row), source.format,
                              PixelAddress(x + sourceX, y + row), format, count);
    }
}

Ref<TPixmap> TPixmap::ConvertedTo(int32_t newFormat) const {
    Ref<TPixmap> result = NewPixmapForFilling(width, height, newFormat, 4);
    if (!result) return nullptr;
    for (int32_t row = 0; row < height; ++row)
        (void)ConvertPixelRun(PixelAddress(0, row), format, result->PixelAddress(0, row), newFormat,
                              width);
    return result;
}

uint32_t TPixmap::GetPixelARGB(int32_t x, int32_t y) const {
    if (!Contains(x, y)) return 0;
    const uint8_t* p = PixelAddress(x, y);
    switch (format) {
    case FormatGrey8: return PackARGB(255, p[0], p[0], p[0]);
    case FormatAlpha8: return PackARGB(p[0], 255, 255, 255);
    case FormatBGR888: return PackARGB(255, p[2], p[1], p[0]);
    case FormatRGB888: return PackARGB(255, p[0], p[1], p[2]);
    case FormatBGRA8888: return PackARGB(p[3], p[2], p[1], p[0]);  // little-endian ARGB
    case FormatRGBA8888: return PackARGB(p[3], p[0], p[1], p[2]);
    default: return 0;
    }
}

void TPixmap::SetPixelARGB(int32_t x, int32_t y, uint32_t argb) {
    if (!Contains(x, y)) return;
    uint8_t a = Channel(argb, 24), r = Channel(argb, 16), g = Channel(argb, 8), b = Channel(argb, 0);
    uint8_t* p = PixelAddress(x, y);
    switch (format) {
    case FormatGrey8: p[0] = static_cast<uint8_t>((r + g + b) / 3); break;
    case FormatAlpha8: p[0] = a; break;
    case FormatBGR888: p[0] = b; p[1] = g; p[2] = r; break;
    case FormatRGB888: p[0] = r; p[1] = g; p[2] = b; break;
    case FormatBGRA8888: p[0] = b; p[1] = g; p[2] = r; p[3] = a; break;
    case FormatRGBA8888: p[0] = r; p[1] = g; p[2] = b; p[3] = a; break;
    default: break;
    }
}

uint8_t* PixelAddress(const Ref<TPixmap>& pixmap, int32_t x, int32_t y) {
    return pixmap ? pixmap->PixelAddress(x, y) : nullptr;
}

Ref<TPixmap> SubRegion(const Ref<TPixmap>& pixmap, int32_t x, int32_t y, int32_t w, int32_t h) {
    return pixmap ? pixmap->SubRegion(x, y, w, h) : nullptr;
}

Ref<TPixmap> Duplicate(const Ref<TPixmap>& pixmap) {
    return pixmap ? pixmap->Duplicate() : nullptr;
}

void PasteFrom(const Ref<TPixmap>& pixmap, const Ref<TPixmap>& source, int32_t x, int32_t y) {
    if (pixmap && source) pixmap->PasteFrom(*source, x, y);
}

Ref<TPixmap> ConvertedTo(const Ref<TPixmap>& pixmap, int32_t format) {
    return pixmap ? pixmap->ConvertedTo(format) : nullptr;
}

uint32_t GetPixelARGB(const Ref<TPixmap>& pixmap, int32_t x, int32_t y) {
    return pixmap ? pixmap->GetPixelARGB(x, y) : 0;
}

void SetPixelARGB(const Ref<TPixmap>& pixmap, int32_t x, int32_t y, uint32_t argb) {
    if (pixmap) pixmap->SetPixelARGB(x, y, argb);
}

Ref<TPixmap> NewPixmap(int32_t width, int32_t height, int32_t format, int32_t align) {
    return TPixmap::NewPixmap(width, height, format, align);
}

Ref<TPixmap> WrapPixelMemory(void* pixels, int32_t width, int32_t height, int32_t pitch,
                             int32_t format) {
    return TPixmap::WrapPixelMemory(pixels, width, height, pitch, format);
}

uint8_t* PixmapPixels(const Ref<TPixmap>& pixmap) { return pixmap ? pixmap->Pixels() : nullptr; }
int32_t PixmapWidth(const Ref<TPixmap>& pixmap) { return pixmap ? pixmap->Width() : 0; }
int32_t PixmapHeight(const Ref<TPixmap>& pixmap) { return pixmap ? pixmap->Height() : 0; }
int32_t PixmapPitch(const Ref<TPixmap>& pixmap) { return pixmap ? pixmap->Pitch() : 0; }
int32_t PixmapFormat(const Ref<TPixmap>& pixmap) { return pixmap ? pixmap->Format() : FormatNone; }
int32_t PixmapCapacity(const Ref<TPixmap>& pixmap) { return pixmap ? pixmap->Capacity() : 0; }
Ref<TPixmap> PixmapParent(const Ref<TPixmap>& pixmap) { return pixmap ? pixmap->Parent() : nullptr; }

}  // namespace qrv
