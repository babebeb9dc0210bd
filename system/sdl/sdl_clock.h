#pragma once

#include "system/clock.h"

namespace qrv {

// The platform's millisecond clock and sleep; sleeping to a deadline is exact to well under a
// millisecond. The count runs from system start-up (the
// monotonic clock), not from program start, so the game's clock-seeded boards differ from run
// to run; like every reading of this clock it is 32 bits and wraps.
class TSDLClock final : public TClock {
public:
    uint32_t Milliseconds() override;
    void Delay(int32_t ms) override;
    void DelayUntil(uint32_t deadline) override;
};

}  // namespace qrv
