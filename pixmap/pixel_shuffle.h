#pragma once

#include <cstdint>

namespace qrv {

// Converts the leading pixels of a run between two different formats with SSSE3 byte
// shuffles, sixteen pixels at a time, and gives how many it converted: 0 on a processor
// without SSSE3 or for a run too short. The caller converts the rest. The runs must not
// overlap.
int32_t ShufflePixelRun(const uint8_t* src, int32_t srcFormat, uint8_t* dst, int32_t dstFormat,
                        int32_t count);

}  // namespace qrv
