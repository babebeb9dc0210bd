#pragma once

#include <cstdint>

namespace qrv {

// The smallest power of two not below n; 1 for n of 1 or less.
int32_t NextPowerOfTwo(int32_t n);

}  // namespace qrv
