#include "pixmap/pixmap_transform.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace qrv {

namespace {

// A pixel's bytes read as one word, so that colour and alpha are compared at once.
uint32_t Word(const uint8_t (&bytes)[4]) {
    uint32_t word;
    std::memcpy(&word, bytes, 4);
    return word;
}

}  // namespace

bool MarkKeyedRun(uint8_t* p, int32_t count, int32_t red, int32_t green, int32_t blue) {
    // A key no pixel can have: only the alpha is set.
    const bool possible = ((red | green | blue) & ~0xFF) == 0;
    const uint32_t colour = Word({255, 255, 255, 0});
    const uint32_t key = possible ? Word({uint8_t(red), uint8_t(green), uint8_t(blue), 0}) : ~0u;
    const uint32_t opaque = Word({0, 0, 0, 255});
    bool keyed = false;
    int32_t x = 0;
#ifdef __SSE2__
    // Four pixels at a time; a group is stored only when one of its pixels changes.
    const __m128i colours = _mm_set1_epi32(static_cast<int>(colour));
    const __m128i keys = _mm_set1_epi32(static_cast<int>(key));
    const __m128i alphas = _mm_set1_epi32(static_cast<int>(opaque));
    for (; x + 4 <= count; x += 4, p += 16) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i colour4 = _mm_and_si128(pixels, colours);
        const __m128i isKey = _mm_cmpeq_epi32(colour4, keys);
        const __m128i wanted = _mm_or_si128(colour4, _mm_andnot_si128(isKey, alphas));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(pixels, wanted)) != 0xFFFF)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p), wanted);
        keyed |= _mm_movemask_epi8(isKey) != 0;
    }
#endif
    for (; x < count; ++x, p += 4) {
        uint32_t pixel;
        std::memcpy(&pixel, p, 4);
        const bool isKey = (pixel & colour) == key;
        const uint32_t wanted = (pixel & colour) | (isKey ? 0 : opaque);
        if (pixel != wanted) std::memcpy(p, &wanted, 4);
        keyed |= isKey;
    }
    return keyed;
}

namespace {

// The first pixel from x on whose alpha is 0, or width.
int32_t NextKeyed(const uint8_t* row, int32_t x, int32_t width) {
#ifdef __SSE2__
    const __m128i alphas = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    for (; x + 4 <= width; x += 4) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 4 * x));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(pixels, alphas), _mm_setzero_si128())))
            break;
    }
#endif
    while (x < width && row[4 * x + 3] != 0) ++x;
    return x;
}

// The rows around a keyed pixel and its columns, clipped to the pixmap.
struct TNeighbourhood {
    const uint8_t* rows[3];
    int32_t rowCount;
    int32_t first;  // byte offsets of the first and last column in a row
    int32_t last;
};

bool AllKeyed(const TNeighbourhood& n) {
    uint8_t alpha = 0;
    for (int32_t r = 0; r < n.rowCount; ++r)
        for (int32_t at = n.first; at <= n.last; at += 4) alpha |= n.rows[r][at + 3];
    return alpha == 0;
}

// A keyed pixel takes the average colour of its unkeyed (opaque) neighbours, black without.
void AverageUnkeyedNeighbours(const TNeighbourhood& n, uint8_t* out) {
    int32_t sum[3] = {0, 0, 0};
    int32_t count = 0;
    for (int32_t r = 0; r < n.rowCount; ++r) {
        for (int32_t at = n.first; at <= n.last; at += 4) {
            const uint8_t* p = n.rows[r] + at;
            if (p[3] == 0) continue;
            for (int c = 0; c < 3; ++c) sum[c] += p[c];
            ++count;
        }
    }
    for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>(count ? sum[c] / count : 0);
}

}  // namespace

void SpreadKeyedColours(TPixmap& rgba) {
    if (rgba.Format() != FormatRGBA8888) return;
    // Only keyed pixels change colour, and they are told apart by alpha, not colour, so the
    // averages read the original colours of the unkeyed neighbours.
    const int32_t width = rgba.Width(), height = rgba.Height(), pitch = rgba.Pitch();
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = rgba.Pixels() + static_cast<ptrdiff_t>(y) * pitch;
        TNeighbourhood n{};
        for (int32_t ny = std::max(y - 1, 0); ny <= std::min(y + 1, height - 1); ++ny)
            n.rows[n.rowCount++] = rgba.Pixels() + static_cast<ptrdiff_t>(ny) * pitch;
        for (int32_t x = NextKeyed(row, 0, width); x < width; x = NextKeyed(row, x + 1, width)) {
            uint8_t* p = row + 4 * x;
            n.first = 4 * std::max(x - 1, 0);
            n.last = 4 * std::min(x + 1, width - 1);
            if (AllKeyed(n)) {
                if (p[0] | p[1] | p[2]) p[0] = p[1] = p[2] = 0;
            } else {
                AverageUnkeyedNeighbours(n, p);
            }
        }
    }
}

Ref<TPixmap> KeyOutColor(const Ref<TPixmap>& pixmap, int32_t red, int32_t green, int32_t blue) {
    if (!pixmap) return nullptr;
    Ref<TPixmap> result = pixmap->ConvertedTo(FormatRGBA8888);
    if (!result) return nullptr;
    bool keyed = false;
    for (int32_t y = 0; y < result->Height(); ++y)
        keyed |= MarkKeyedRun(result->PixelAddress(0, y), result->Width(), red, green, blue);
    if (keyed) SpreadKeyedColours(*result);
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
