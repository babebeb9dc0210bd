#pragma once

#include <cstdint>

namespace qrv {

// Converts count pixels from one format to another, as if through RGBA. Same formats are
// copied (the runs may overlap); runs of different formats must not overlap. Blocks of pixels
// go through byte-shuffle kernels where the processor has them (AVX2, SSSE3), the rest
// through plain loops. Gives false, writing nothing, for an unknown format or a negative count.
bool ConvertPixelRun(const void* src, int32_t srcFormat, void* dst, int32_t dstFormat,
                     int32_t count);

}  // namespace qrv
