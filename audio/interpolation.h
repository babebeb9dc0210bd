#pragma once

#include <cstdint>

namespace qrv {

// The mixer's resampling: linear interpolation between two neighbouring frames of a sound or of
// music, `fraction` (0..1) of the way from `from` to `to`. Each frame has `channels` samples (1,
// or 2 with left first); a mono frame gives the same sample on both sides.
inline void InterpolatedFrame(const float* from, const float* to, int32_t channels, float fraction,
                              float& left, float& right) {
    left = from[0] + (to[0] - from[0]) * fraction;
    right = channels == 1 ? left : from[1] + (to[1] - from[1]) * fraction;
}

}  // namespace qrv
