#pragma once

#include <cstdint>
#include <vector>

#include "pixmap/pixel_format.h"

namespace qrv::pixmap_test {

// The conversion of every pair of formats, computed the plain way through RGBA, one pixel at
// a time.
inline std::vector<uint8_t> ReferenceConversion(const uint8_t* source, int32_t from, int32_t to,
                                                int32_t count) {
    std::vector<uint8_t> out;
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* p = source + i * BytesPerPixel(from);
        uint8_t r = 0, g = 0, b = 0, a = 255;
        switch (from) {
        case FormatGrey8: case FormatLuminance8: r = g = b = p[0]; break;
        case FormatAlpha8: r = g = b = 255; a = p[0]; break;
        case FormatBGR888: r = p[2]; g = p[1]; b = p[0]; break;
        case FormatRGB888: r = p[0]; g = p[1]; b = p[2]; break;
        case FormatBGRA8888: r = p[2]; g = p[1]; b = p[0]; a = p[3]; break;
        case FormatRGBA8888: r = p[0]; g = p[1]; b = p[2]; a = p[3]; break;
        case FormatRed8: r = p[0]; break;
        case FormatGreen8: g = p[0]; break;
        case FormatBlue8: b = p[0]; break;
        case FormatAlphaOnly8: a = p[0]; break;
        case FormatIntensity8: r = g = b = a = p[0]; break;
        }
        const auto average = static_cast<uint8_t>((r + g + b) / 3);
        switch (to) {
        case FormatGrey8: case FormatLuminance8: out.push_back(average); break;
        case FormatAlpha8: case FormatAlphaOnly8: out.push_back(a); break;
        case FormatBGR888: out.insert(out.end(), {b, g, r}); break;
        case FormatRGB888: out.insert(out.end(), {r, g, b}); break;
        case FormatBGRA8888: out.insert(out.end(), {b, g, r, a}); break;
        case FormatRGBA8888: out.insert(out.end(), {r, g, b, a}); break;
        case FormatRed8: out.push_back(r); break;
        case FormatGreen8: out.push_back(g); break;
        case FormatBlue8: out.push_back(b); break;
        case FormatIntensity8: out.push_back(static_cast<uint8_t>((r + g + b + a) >> 2)); break;
        }
    }
    return out;
}

}  // namespace qrv::pixmap_test
