#include "system/random.h"

#include <cmath>
#include <limits>

namespace qrv {
namespace {

constexpr int32_t kInitialState = 4660;
constexpr int32_t kMultiplier = 48271;
constexpr int32_t kModulus = 2147483647;
constexpr int32_t kQuotient = 44488;   // kModulus / kMultiplier
constexpr int32_t kRemainder = 3399;   // kModulus % kMultiplier

int32_t state = kInitialState;

int32_t Step() {
    state = kMultiplier * (state % kQuotient) - kRemainder * (state / kQuotient);
    if (state < 0) state += kModulus;
    return state;
}

// Rounds down, so that a draw in [lowest, highest + 1) of a negative range stays inside it
// (truncation would fold (-1, 0) onto 0); for non-negative draws this is truncation. The clamp
// keeps the cast defined.
int32_t FloorToInt(double x) {
    constexpr double lowest = std::numeric_limits<int32_t>::min();
    constexpr double highest = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::floor(std::fmin(std::fmax(x, lowest), highest)));
}

}  // namespace

void SeedRandom(int32_t seed) {
    state = seed & 0x7FFFFFFF;
    if (state == 0 || state == kModulus) state = kInitialState;
}

int32_t GetRandomSeed() {
    return state;
}

float RandomFloat() {
    return static_cast<float>((Step() & 0x0FFFFFF0) / 268435456.0);
}

double RandomDouble() {
    const double high = Step() & 0x1FFFFFFC;
    const double low = Step() & 0x1FFFFFF8;
    return (high + low / 134217728.0) / 536870912.0;
}

double RandomReal(double a, double b) {
    const double r = RandomDouble();
    return b > a ? a + r * (b - a) : b + r * (a - b);
}

int32_t RandomInt(int32_t a, int32_t b) {
    const double r = RandomDouble();
    const double d = static_cast<double>(b) - static_cast<double>(a);
    const double x = d > 0 ? a + r * (d + 1) : b + r * (1 - d);
    return FloorToInt(x);
}

}  // namespace qrv
