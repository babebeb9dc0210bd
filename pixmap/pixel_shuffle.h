#pragma once

#include <cstdint>

namespace qrv {

// Converts the leading pixels of a run between two different formats with the widest byte
// shuffles the processor has (AVX2 for the pairs between a three- and a four-byte format, SSSE3
// for every pair), and gives how many it converted: 0 on a processor without them or for a run
// too short. The caller converts the rest. The runs must not overlap.
int32_t ShufflePixelRun(const uint8_t* src, int32_t srcFormat, uint8_t* dst, int32_t dstFormat,
                        int32_t count);

// The same with SSSE3 shuffles alone, sixteen pixels at a time.
int32_t ShufflePixelRunSsse3(const uint8_t* src, int32_t srcFormat, uint8_t* dst,
                             int32_t dstFormat, int32_t count);

}  // namespace qrv
