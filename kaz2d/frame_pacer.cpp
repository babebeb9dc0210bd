#include "kaz2d/frame_pacer.h"

#include "system/clock.h"

namespace qrv {

void TFramePacer::Start(int32_t rate) {
    hertz = rate > 0 ? rate : 0;
    period = hertz != 0 ? 1000 / hertz : 0;
    remainder = hertz != 0 ? 1000 - period * hertz : 0;
    accumulated = 0;
    nextPresent = MillisecondClock();
}

void TFramePacer::WaitForNextFrame() {
    if (hertz == 0) return;
    nextPresent += static_cast<uint32_t>(period);
    accumulated += remainder;
    if (accumulated >= hertz) {
        accumulated -= hertz;
        nextPresent += 1;
    }
    const uint32_t now = MillisecondClock();
    if (ClockIsAfter(nextPresent, now)) {
        DelayUntil(nextPresent);
    } else {
        nextPresent = now;
    }
}

}  // namespace qrv
