#pragma once

#include "system/clock.h"

namespace qrv {

// The platform's millisecond clock (1 ms resolution) and sleep.
class TSDLClock final : public TClock {
public:
    uint32_t Milliseconds() override;
    void Delay(int32_t ms) override;
};

}  // namespace qrv
