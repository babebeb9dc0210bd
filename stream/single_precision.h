#pragma once

#include <cmath>
#include <limits>

namespace qrv {

// A double as a float, rounded to nearest as IEEE does: a value beyond the largest float but
// below the halfway point to the next power of two (2^128 - 2^103) still rounds to the largest
// float, and from that point on it becomes an infinity. The conversion is done by hand at the
// edge of the range, where C++ leaves it undefined.
inline float ToSinglePrecision(double value) {
    constexpr float kMax = std::numeric_limits<float>::max();
    constexpr double kHalfwayToInfinity = 0x1p128 - 0x1p103;
    if (std::isfinite(value) && std::abs(value) > kMax) {
        const float rounded = std::abs(value) < kHalfwayToInfinity ? kMax : std::numeric_limits<float>::infinity();
        return value > 0 ? rounded : -rounded;
    }
    return static_cast<float>(value);
}

}  // namespace qrv
