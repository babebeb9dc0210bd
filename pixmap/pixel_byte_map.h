#pragma once

#include <cstdint>

#include "pixmap/pixel_format.h"

namespace qrv::pixel_bytes {

// Every conversion that only selects is a byte map: each output byte is a byte of the source
// pixel or a constant. Grey, intensity and luminance are averages of the RGBA channels.
constexpr int8_t ZERO = -1;  // the constant byte 0
constexpr int8_t FULL = -2;  // the constant byte 255

// Where each RGBA byte comes from, by source format: a byte of the source pixel or a constant.
constexpr int8_t toRGBA[FormatCount][4] = {
    {ZERO, ZERO, ZERO, ZERO},  // none
    {0, 0, 0, FULL},           // grey
    {FULL, FULL, FULL, 0},     // alpha, colour white
    {2, 1, 0, FULL},           // BGR
    {0, 1, 2, FULL},           // RGB
    {2, 1, 0, 3},              // BGRA
    {0, 1, 2, 3},              // RGBA
    {0, ZERO, ZERO, FULL},     // red
    {ZERO, 0, ZERO, FULL},     // green
    {ZERO, ZERO, 0, FULL},     // blue
    {ZERO, ZERO, ZERO, 0},     // alpha, colour black
    {0, 0, 0, 0},              // intensity
    {0, 0, 0, FULL},           // luminance
};

// Which RGBA byte each byte of a destination pixel takes, for the formats that only select.
constexpr int8_t fromRGBA[FormatCount][4] = {
    {}, {}, {3}, {2, 1, 0}, {0, 1, 2}, {2, 1, 0, 3}, {0, 1, 2, 3}, {0}, {1}, {2}, {3}, {}, {},
};

// The source byte, ZERO or FULL behind byte j of a destination pixel of a selecting format.
constexpr int8_t SourceByte(int32_t srcFormat, int32_t dstFormat, int j) {
    return toRGBA[srcFormat][fromRGBA[dstFormat][j]];
}

}  // namespace qrv::pixel_bytes
