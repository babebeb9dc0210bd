#pragma once

#include <cmath>
#include <limits>

namespace qrv {

// A double as a float. Beyond the range of float it becomes an infinity, as IEEE rounding
// would give, instead of a conversion that C++ leaves undefined.
inline float ToSinglePrecision(double value) {
    constexpr double kMax = std::numeric_limits<float>::max();
    if (std::isfinite(value) && std::abs(value) > kMax) {
        constexpr float kInfinity = std::numeric_limits<float>::infinity();
        return value > 0 ? kInfinity : -kInfinity;
    }
    return static_cast<float>(value);
}

}  // namespace qrv
