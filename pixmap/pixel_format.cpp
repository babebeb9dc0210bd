#include "pixmap/pixel_format.h"

#include <array>

namespace qrv {

namespace {

constexpr std::array<TPixelFormatInfo, FormatCount> formatTable = {{
    {0, 0, 0, 0, 0},  // none
    {1, 0, 0, 0, 0},  // Grey8
    {1, 0, 0, 0, 8},  // Alpha8
    {3, 8, 8, 8, 0},  // BGR888
    {3, 8, 8, 8, 0},  // RGB888
    {4, 8, 8, 8, 8},  // BGRA8888
    {4, 8, 8, 8, 8},  // RGBA8888
    {1, 8, 0, 0, 0},  // Red8
    {1, 0, 8, 0, 0},  // Green8
    {1, 0, 0, 8, 0},  // Blue8
    {1, 0, 0, 0, 8},  // AlphaOnly8
    {1, 0, 0, 0, 0},  // Intensity8
    {1, 0, 0, 0, 0},  // Luminance8
}};

}  // namespace

bool IsValidPixelFormat(int32_t format) {
    return format > FormatNone && format < FormatCount;
}

const TPixelFormatInfo& PixelFormatInfo(int32_t format) {
    return IsValidPixelFormat(format) ? formatTable[format] : formatTable[FormatNone];
}

}  // namespace qrv
