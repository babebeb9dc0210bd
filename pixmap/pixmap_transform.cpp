#include "pixmap/pixmap_transform.h"

#include <algorithm>
#include <cstring>

namespace qrv {

namespace {

// The source itself when it is already RGBA, else an RGBA copy.
Ref<TPixmap> AsRGBA(const Ref<TPixmap>& pixmap) {
    return pixmap->Format() == FormatRGBA8888 ? pixmap : pixmap->ConvertedTo(FormatRGBA8888);
}

bool IsKey(const uint8_t* p, int32_t red, int32_t green, int32_t blue) {
    return p[0] == red && p[1] == green && p[2] == blue;
}

// The colour a keyed pixel at (x, y) takes: the average of its unkeyed neighbours, alpha 0.
void AverageUnkeyedNeighbours(const TPixmap& source, int32_t x, int32_t y, int32_t red,
                              int32_t green, int32_t blue, uint8_t* out) {
    int32_t sum[3] = {0, 0, 0};
    int32_t count = 0;
    for (int32_t ny = std::max(y - 1, 0); ny <= std::min(y + 1, source.Height() - 1); ++ny) {
        for (int32_t nx = std::max(x - 1, 0); nx <= std::min(x + 1, source.Width() - 1); ++nx) {
            const uint8_t* p = source.PixelAddress(nx, ny);
            if (IsKey(p, red, green, blue)) continue;
            for (int c = 0; c < 3; ++c) sum[c] += p[c];
            ++count;
        }
    }
    for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>(count ? sum[c] / count : 0);
    out[3] = 0;
}

}  // namespace

Ref<TPixmap> KeyOutColor(const Ref<TPixmap>& pixmap, int32_t red, int32_t green, int32_t blue) {
    if (!pixmap) return nullptr;
    Ref<TPixmap> source = AsRGBA(pixmap);
    Ref<TPixmap> result = source ? NewPixmap(source->Width(), source->Height(), FormatRGBA8888, 4)
                                 : nullptr;
    if (!result) return nullptr;
    for (int32_t y = 0; y < source->Height(); ++y) {
        const uint8_t* in = source->PixelAddress(0, y);
        uint8_t* out = result->PixelAddress(0, y);
        for (int32_t x = 0; x < source->Width(); ++x, in += 4, out += 4) {
            if (IsKey(in, red, green, blue)) {
                AverageUnkeyedNeighbours(*source, x, y, red, green, blue, out);
            } else {
                std::memcpy(out, in, 3);
                out[3] = 255;
            }
        }
    }
    return result;
}

Ref<TPixmap> FlipHorizontal(const Ref<TPixmap>& pixmap) {
    if (!pixmap) return nullptr;
    Ref<TPixmap> result = NewPixmap(pixmap->Width(), pixmap->Height(), pixmap->Format(), 4);
    if (!result) return nullptr;
    const int32_t bytes = BytesPerPixel(pixmap->Format());
    const int32_t last = pixmap->Width() - 1;
    for (int32_t y = 0; y < pixmap->Height(); ++y) {
        for (int32_t x = 0; x <= last; ++x)
            std::memcpy(result->PixelAddress(x, y), pixmap->PixelAddress(last - x, y), bytes);
    }
    return result;
}

Ref<TPixmap> FlipVertical(const Ref<TPixmap>& pixmap) {
    if (!pixmap) return nullptr;
    Ref<TPixmap> result = NewPixmap(pixmap->Width(), pixmap->Height(), pixmap->Format(), 4);
    if (!result) return nullptr;
    const size_t rowBytes = static_cast<size_t>(pixmap->Width()) * BytesPerPixel(pixmap->Format());
    const int32_t last = pixmap->Height() - 1;
    for (int32_t y = 0; y <= last; ++y)
        std::memcpy(result->PixelAddress(0, y), pixmap->PixelAddress(0, last - y), rowBytes);
    return result;
}

}  // namespace qrv
