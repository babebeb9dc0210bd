#include "kaz2d/gl/power_of_two.h"

namespace qrv {

int32_t NextPowerOfTwo(int32_t n) {
    int32_t power = 1;
    while (power < n && power < (1 << 30)) power <<= 1;
    return power;
}

}  // namespace qrv
