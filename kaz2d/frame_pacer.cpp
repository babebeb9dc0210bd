#include "kaz2d/frame_pacer.h"

#include "system/clock.h"

namespace qrv {

void TFramePacer::Start(int32_t rate) {
    hertz = rate;
    period = hertz != 0 ? 1000 / hertz : 0;
    remainder = 1000 - period * hertz;
    accumulated = 0;
    nextPresent = MillisecondClock();
}

void TFramePacer::WaitForNextFrame() {
    nextPresent += period;
    accumulated += remainder;
    if (accumulated >= hertz) {
        accumulated -= hertz;
        nextPresent += 1;
    }
    const uint32_t now = MillisecondClock();
    const auto wait = static_cast<int32_t>(nextPresent - now);
    if (wait <= 0) {
        nextPresent = now;
    } else {
        DelayMillis(wait);
    }
}

}  // namespace qrv
