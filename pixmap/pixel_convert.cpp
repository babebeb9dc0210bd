#include "pixmap/pixel_convert.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "pixmap/pixel_format.h"
#include "pixmap/pixel_shuffle.h"

namespace qrv {

namespace {

// Writes one RGBA pixel; the alpha of every opaque format is 255.
inline void Put(uint8_t* out, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    out[0] = r;
    out[1] = g;
    out[2] = b;
    out[3] = a;
}

// The commonest conversion (decoded JPEGs to textures), one 32-bit store per pixel.
void OpaqueRGBToRGBA(const uint8_t* s, uint8_t* d, int32_t count) {
    constexpr bool little = std::endian::native == std::endian::little;
    constexpr int redShift = little ? 0 : 24, greenShift = little ? 8 : 16;
    constexpr int blueShift = little ? 16 : 8, alphaShift = little ? 24 : 0;
    for (int32_t i = 0; i < count; ++i, s += 3, d += 4) {
        uint32_t pixel = uint32_t{s[0]} << redShift | uint32_t{s[1]} << greenShift |
                         uint32_t{s[2]} << blueShift | uint32_t{255} << alphaShift;
        std::memcpy(d, &pixel, 4);
    }
}

void ToRGBA(const uint8_t* s, int32_t format, uint8_t* d, int32_t count) {
    switch (format) {
    case FormatGrey8:
        for (int32_t i = 0; i < count; ++i) Put(d + 4 * i, s[i], s[i], s[i], 255);
        break;
    case FormatAlpha8:
        for (int32_t i = 0; i < count; ++i) Put(d + 4 * i, 255, 255, 255, s[i]);
        break;
    case FormatBGR888:
        for (int32_t i = 0; i < count; ++i, s += 3) Put(d + 4 * i, s[2], s[1], s[0], 255);
        break;
    case FormatRGB888:
        OpaqueRGBToRGBA(s, d, count);
        break;
    case FormatBGRA8888:
        for (int32_t i = 0; i < count; ++i, s += 4) Put(d + 4 * i, s[2], s[1], s[0], s[3]);
        break;
    case FormatRGBA8888:
        std::memmove(d, s, static_cast<size_t>(count) * 4);
        break;
    case FormatRed8:
        for (int32_t i = 0; i < count; ++i) Put(d + 4 * i, s[i], 0, 0, 255);
        break;
    case FormatGreen8:
        for (int32_t i = 0; i < count; ++i) Put(d + 4 * i, 0, s[i], 0, 255);
        break;
    case FormatBlue8:
        for (int32_t i = 0; i < count; ++i) Put(d + 4 * i, 0, 0, s[i], 255);
        break;
    case FormatAlphaOnly8:
        for (int32_t i = 0; i < count; ++i) Put(d + 4 * i, 0, 0, 0, s[i]);
        break;
    case FormatIntensity8:
        for (int32_t i = 0; i < count; ++i) Put(d + 4 * i, s[i], s[i], s[i], s[i]);
        break;
    case FormatLuminance8:
        for (int32_t i = 0; i < count; ++i) Put(d + 4 * i, s[i], s[i], s[i], 255);
        break;
    }
}

inline uint8_t AverageRGB(const uint8_t* p) { return static_cast<uint8_t>((p[0] + p[1] + p[2]) / 3); }

void FromRGBA(const uint8_t* s, uint8_t* d, int32_t format, int32_t count) {
    switch (format) {
    case FormatGrey8:
    case FormatLuminance8:
        for (int32_t i = 0; i < count; ++i) d[i] = AverageRGB(s + 4 * i);
        break;
    case FormatAlpha8:
    case FormatAlphaOnly8:
        for (int32_t i = 0; i < count; ++i) d[i] = s[4 * i + 3];
        break;
    case FormatBGR888:
        for (int32_t i = 0; i < count; ++i, d += 3) {
            d[0] = s[4 * i + 2]; d[1] = s[4 * i + 1]; d[2] = s[4 * i + 0];
        }
        break;
    case FormatRGB888:
        for (int32_t i = 0; i < count; ++i, d += 3) {
            d[0] = s[4 * i + 0]; d[1] = s[4 * i + 1]; d[2] = s[4 * i + 2];
        }
        break;
    case FormatBGRA8888:
        for (int32_t i = 0; i < count; ++i, d += 4) {
            d[0] = s[4 * i + 2]; d[1] = s[4 * i + 1]; d[2] = s[4 * i + 0]; d[3] = s[4 * i + 3];
        }
        break;
    case FormatRGBA8888:
        std::memmove(d, s, static_cast<size_t>(count) * 4);
        break;
    case FormatRed8:
        for (int32_t i = 0; i < count; ++i) d[i] = s[4 * i + 0];
        break;
    case FormatGreen8:
        for (int32_t i = 0; i < count; ++i) d[i] = s[4 * i + 1];
        break;
    case FormatBlue8:
        for (int32_t i = 0; i < count; ++i) d[i] = s[4 * i + 2];
        break;
    case FormatIntensity8:
        for (int32_t i = 0; i < count; ++i) {
            const uint8_t* p = s + 4 * i;
            d[i] = static_cast<uint8_t>((p[0] + p[1] + p[2] + p[3]) >> 2);
        }
        break;
    }
}

// Pixels converted per pass through the temporary run; 4 KiB on the stack.
constexpr int32_t chunkPixels = 1024;

}  // namespace

bool ConvertPixelRun(const void* src, int32_t srcFormat, void* dst, int32_t dstFormat,
                     int32_t count) {
    if (!IsValidPixelFormat(srcFormat) || !IsValidPixelFormat(dstFormat) || count < 0) return false;
    auto* s = static_cast<const uint8_t*>(src);
    auto* d = static_cast<uint8_t*>(dst);
    if (srcFormat != dstFormat) {
        // The vector kernels take whole blocks of pixels; the loops below do the rest.
        const int32_t done = ShufflePixelRun(s, srcFormat, d, dstFormat, count);
        s += static_cast<size_t>(done) * BytesPerPixel(srcFormat);
        d += static_cast<size_t>(done) * BytesPerPixel(dstFormat);
        count -= done;
    }
    if (srcFormat == dstFormat) {
        std::memmove(d, s, static_cast<size_t>(count) * BytesPerPixel(srcFormat));
    } else if (srcFormat == FormatRGBA8888) {
        FromRGBA(s, d, dstFormat, count);
    } else if (dstFormat == FormatRGBA8888) {
        ToRGBA(s, srcFormat, d, count);
    } else {
        uint8_t run[chunkPixels * 4];
        for (int32_t done = 0; done < count; done += chunkPixels) {
            int32_t n = std::min(chunkPixels, count - done);
            ToRGBA(s + static_cast<size_t>(done) * BytesPerPixel(srcFormat), srcFormat, run, n);
            FromRGBA(run, d + static_cast<size_t>(done) * BytesPerPixel(dstFormat), dstFormat, n);
        }
    }
    return true;
}

}  // namespace qrv
