#pragma once

#include <cstdint>

namespace qrv {

// Converts the leading pixels of a run between a three-byte and a four-byte format (RGB or BGR
// to and from RGBA or BGRA) with AVX2 byte shuffles, 32 pixels at a time, and gives how many
// it converted: 0 on a processor without AVX2, for any other pair of formats or for a run too
// short. The caller converts the rest. The runs must not overlap.
int32_t ShufflePixelRunAvx2(const uint8_t* src, int32_t srcFormat, uint8_t* dst,
                            int32_t dstFormat, int32_t count);

}  // namespace qrv
