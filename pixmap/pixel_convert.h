#pragma once

#include <cstdint>

namespace qrv {

// Converts count pixels from one format to another. Same formats are copied (the runs may
// overlap); RGBA is converted straight to or from; any other pair goes through RGBA in a
// temporary run. Gives false, writing nothing, for an unknown format or a negative count.
bool ConvertPixelRun(const void* src, int32_t srcFormat, void* dst, int32_t dstFormat,
                     int32_t count);

}  // namespace qrv
