#include "system/sdl/sdl_clock.h"

#include <SDL.h>

#include <cerrno>
#include <cstdint>
#include <ctime>

namespace qrv {

Ref<TClock> MakePlatformClock() {
    return std::make_shared<TSDLClock>();
}

namespace {

constexpr int64_t NANOS_PER_MILLI = 1000000;
constexpr int64_t NANOS_PER_SECOND = 1000000000;

// The monotonic clock in nanoseconds; the millisecond count is this divided down.
int64_t MonotonicNanos() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * NANOS_PER_SECOND + now.tv_nsec;
}

// Sleeps until the monotonic clock reaches `target`. Where the C library has no absolute sleep
// on that clock (Windows' thread library returns at once; a browser's would spin without giving
// the page its turn, where SDL's delay yields), short sleeps are repeated until it is reached, so
// a late wake-up still never shifts the deadline.
void SleepUntilNanos(int64_t target) {
#if defined(_WIN32) || defined(__EMSCRIPTEN__)
    for (int64_t now = MonotonicNanos(); now < target; now = MonotonicNanos())
        SDL_Delay(static_cast<Uint32>((target - now + NANOS_PER_MILLI - 1) / NANOS_PER_MILLI));
#else
    const timespec until{static_cast<time_t>(target / NANOS_PER_SECOND),
                         static_cast<long>(target % NANOS_PER_SECOND)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
#endif
}

}  // namespace

uint32_t TSDLClock::Milliseconds() {
    return static_cast<uint32_t>(MonotonicNanos() / NANOS_PER_MILLI);
}

void TSDLClock::Delay(int32_t ms) {
    if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
}

void TSDLClock::DelayUntil(uint32_t deadline) {
    // The deadline is the start of that millisecond on the monotonic clock, reached with an
    // absolute sleep: waking late never shifts the deadline that follows.
    const int64_t now = MonotonicNanos();
    const auto ahead = static_cast<int32_t>(deadline - static_cast<uint32_t>(now / NANOS_PER_MILLI));
    if (ahead <= 0) return;
    SleepUntilNanos((now / NANOS_PER_MILLI + ahead) * NANOS_PER_MILLI);
}

}  // namespace qrv
