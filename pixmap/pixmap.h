#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "core/object.h"
#include "pixmap/pixel_format.h"

namespace qrv {

// A rectangle of pixels in main memory with an explicit row pitch and one of the pixel formats.
// Rows run top to bottom. An owning pixmap frees its pixels when destroyed; a window (capacity
// -1) shares memory it does not own and holds a reference to the pixmap whose memory it shares.
// Pixmaps are always held by Ref: they are made only by NewPixmap, WrapPixelMemory and the
// operations below.
class TPixmap : public TObject, public std::enable_shared_from_this<TPixmap> {
    struct TPasskey {};

public:
    TPixmap(TPasskey, uint8_t* pixels, int32_t width, int32_t height, int32_t pitch,
            int32_t format, int32_t capacity, Ref<TPixmap> parent);
    ~TPixmap() override;
    TPixmap(const TPixmap&) = delete;
    TPixmap& operator=(const TPixmap&) = delete;

    // pixels + y * pitch + x * bytes per pixel; no bounds check.
    virtual uint8_t* PixelAddress(int32_t x, int32_t y) const;
    // A w x h window sharing this pixmap's memory from (x, y); none unless it lies inside.
    [[nodiscard]] virtual Ref<TPixmap> SubRegion(int32_t x, int32_t y, int32_t w, int32_t h);
    // An owning copy of the same size and format, rows aligned to 4 bytes.
    [[nodiscard]] virtual Ref<TPixmap> Duplicate() const;
    // Converts the source's pixels into this pixmap with their top left at (x, y). Pixels that
    // would fall outside this pixmap are left out.
    virtual void PasteFrom(const TPixmap& source, int32_t x, int32_t y);
    // An owning copy in another format, rows aligned to 4 bytes; none for an unknown format.
    [[nodiscard]] virtual Ref<TPixmap> ConvertedTo(int32_t format) const;
    // The colour as 0xAARRGGBB; 0 for formats 7 to 12 and for points outside the pixmap.
    virtual uint32_t GetPixelARGB(int32_t x, int32_t y) const;
    // Stores an 0xAARRGGBB colour; nothing for formats 7 to 12 or points outside the pixmap.
    virtual void SetPixelARGB(int32_t x, int32_t y, uint32_t argb);

    // Owned memory of pitch x height bytes, zero-filled, with pitch = width x bytes per pixel
    // rounded up to a multiple of align. None for an unknown format, a negative size, or a
    // picture whose width x height x 4 does not fit in 31 bits.
    [[nodiscard]] static Ref<TPixmap> NewPixmap(int32_t width, int32_t height, int32_t format,
                                                int32_t align);
    // The same without clearing the pixel memory, for makers that write every row before
    // anyone sees the pixmap (decoders, conversions); the padding after each row is zero.
    [[nodiscard]] static Ref<TPixmap> NewPixmapForFilling(int32_t width, int32_t height,
                                                          int32_t format, int32_t align);
    // Wraps memory the caller owns and keeps alive; capacity -1. None for bad arguments.
    [[nodiscard]] static Ref<TPixmap> WrapPixelMemory(void* pixels, int32_t width, int32_t height,
                                                      int32_t pitch, int32_t format);

    // Pixels: the top left pixel's bytes. Width and Height: the size in pixels. Pitch: the bytes
    // from one row to the next. Format: one of the Format constants. Capacity: the bytes owned, -1
    // for a window. Parent: the pixmap a sub-region shares memory with, else none.
    uint8_t* Pixels() const { return pixels; }
    int32_t Width() const { return width; }
    int32_t Height() const { return height; }
    int32_t Pitch() const { return pitch; }
    int32_t Format() const { return format; }
    int32_t Capacity() const { return capacity; }
    const Ref<TPixmap>& Parent() const { return parent; }

    // True when (x, y) is a pixel of the pixmap.
    bool Contains(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }

private:
    [[nodiscard]] static Ref<TPixmap> Allocate(int32_t width, int32_t height, int32_t format,
                                               int32_t align, bool cleared);

    uint8_t* pixels;
    int32_t width;
    int32_t height;
    int32_t pitch;
    int32_t format;
    int32_t capacity;
    Ref<TPixmap> parent;
};

// True when width x height x 4 bytes fit in a signed 32-bit count; the limit for every picture.
bool PixmapSizeFits(int64_t width, int64_t height);

// PixelAddress, SubRegion, Duplicate, PasteFrom, ConvertedTo, GetPixelARGB and SetPixelARGB:
// module-level forms of the methods, taking the pixmap first. A none pixmap (or source) gives
// none, 0 or nothing. NewPixmap and WrapPixelMemory: TPixmap's functions of those names.
uint8_t* PixelAddress(const Ref<TPixmap>& pixmap, int32_t x, int32_t y);
[[nodiscard]] Ref<TPixmap> SubRegion(const Ref<TPixmap>& pixmap, int32_t x, int32_t y, int32_t w,
                                     int32_t h);
[[nodiscard]] Ref<TPixmap> Duplicate(const Ref<TPixmap>& pixmap);
void PasteFrom(const Ref<TPixmap>& pixmap, const Ref<TPixmap>& source, int32_t x, int32_t y);
[[nodiscard]] Ref<TPixmap> ConvertedTo(const Ref<TPixmap>& pixmap, int32_t format);
uint32_t GetPixelARGB(const Ref<TPixmap>& pixmap, int32_t x, int32_t y);
void SetPixelARGB(const Ref<TPixmap>& pixmap, int32_t x, int32_t y, uint32_t argb);
[[nodiscard]] Ref<TPixmap> NewPixmap(int32_t width, int32_t height, int32_t format, int32_t align);
[[nodiscard]] Ref<TPixmap> WrapPixelMemory(void* pixels, int32_t width, int32_t height,
                                           int32_t pitch, int32_t format);
// PixmapPixels, PixmapWidth, PixmapHeight, PixmapPitch, PixmapFormat, PixmapCapacity and
// PixmapParent: the pixmap's properties; none, 0 or FormatNone for a none pixmap.
uint8_t* PixmapPixels(const Ref<TPixmap>& pixmap);
int32_t PixmapWidth(const Ref<TPixmap>& pixmap);
int32_t PixmapHeight(const Ref<TPixmap>& pixmap);
int32_t PixmapPitch(const Ref<TPixmap>& pixmap);
int32_t PixmapFormat(const Ref<TPixmap>& pixmap);
int32_t PixmapCapacity(const Ref<TPixmap>& pixmap);
Ref<TPixmap> PixmapParent(const Ref<TPixmap>& pixmap);

}  // namespace qrv
