#include "system/clock.h"

namespace qrv {
namespace {

Ref<TClock>& ClockSlot() {
    static Ref<TClock> clock;
    return clock;
}

}  // namespace

void TClock::DelayUntil(uint32_t deadline) {
    const auto wait = static_cast<int32_t>(deadline - Milliseconds());
    if (wait > 0) Delay(wait);
}

void TVirtualClock::Advance(int32_t ms) {
    if (ms > 0) now += static_cast<uint32_t>(ms);
}

void TVirtualClock::AdvanceTo(uint32_t t) {
    if (ClockIsAfter(t, now)) now = t;
}

Ref<TClock> SetClock(Ref<TClock> clock) {
    Ref<TClock> previous = CurrentClock();
    ClockSlot() = std::move(clock);
    return previous;
}

Ref<TClock> CurrentClock() {
    Ref<TClock>& clock = ClockSlot();
    if (!clock) clock = MakePlatformClock();
    return clock;
}

uint32_t MillisecondClock() {
    return CurrentClock()->Milliseconds();
}

void DelayMillis(int32_t ms) {
    if (ms <= 0) return;
    CurrentClock()->Delay(ms);
}

void DelayUntil(uint32_t deadline) {
    CurrentClock()->DelayUntil(deadline);
}

}  // namespace qrv
