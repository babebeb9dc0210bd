#pragma once

#include <cstdint>

namespace qrv {

// Pixel formats are small integers; the bytes of one pixel are named in memory order.
constexpr int32_t FormatNone = 0;
constexpr int32_t FormatGrey8 = 1;         // grey level
constexpr int32_t FormatAlpha8 = 2;        // alpha, colour white
constexpr int32_t FormatBGR888 = 3;        // B, G, R
constexpr int32_t FormatRGB888 = 4;        // R, G, B
constexpr int32_t FormatBGRA8888 = 5;      // B, G, R, A
constexpr int32_t FormatRGBA8888 = 6;      // R, G, B, A: the hub of every conversion
// One colour channel; the other two read as 0, alpha as opaque.
constexpr int32_t FormatRed8 = 7;
constexpr int32_t FormatGreen8 = 8;
constexpr int32_t FormatBlue8 = 9;
constexpr int32_t FormatAlphaOnly8 = 10;   // alpha, colour black
constexpr int32_t FormatIntensity8 = 11;   // one value for all four channels
// Grey level, alpha opaque.
constexpr int32_t FormatLuminance8 = 12;
// One more than the highest format id.
constexpr int32_t FormatCount = 13;

// A format's size and make-up, as PixelFormatInfo gives it.
struct TPixelFormatInfo {
    // The bytes of one pixel (1, 3 or 4), then the bits of each channel, 0 for a channel it lacks.
    int32_t bytesPerPixel;
    int32_t redBits;
    int32_t greenBits;
    int32_t blueBits;
    int32_t alphaBits;
};

// True for the twelve real formats (1..12); FormatNone and unknown ids are not valid.
bool IsValidPixelFormat(int32_t format);

// The table entry of a format; unknown ids read as FormatNone (all zero).
const TPixelFormatInfo& PixelFormatInfo(int32_t format);

// BytesPerPixel and AlphaBits: those fields of the format's entry; 0 for an unknown format.
inline int32_t BytesPerPixel(int32_t format) { return PixelFormatInfo(format).bytesPerPixel; }
inline int32_t AlphaBits(int32_t format) { return PixelFormatInfo(format).alphaBits; }

}  // namespace qrv
