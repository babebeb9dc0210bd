#pragma once

#include <cstdint>

#include "core/object.h"

namespace qrv {

// The source of time for MillisecondClock and DelayMillis. The real clock is the platform's;
// tests and scripted runs put a TVirtualClock in its place so that time passes only on demand.
class TClock : public TObject {
public:
    // Milliseconds since an arbitrary start, 32 bits, wrapping.
    virtual uint32_t Milliseconds() = 0;
    // Sleeps ms milliseconds (never called with a negative value).
    virtual void Delay(int32_t ms) = 0;
    // Sleeps until the clock reads deadline; returns at once when it is not ahead. Frame pacing
    // sleeps this way so that a late wake-up is not added to the next frame's wait.
    virtual void DelayUntil(uint32_t deadline);
};

// Time that moves only when asked: Delay advances it at once, so a program sleeping on it
// runs at full speed and always the same way.
class TVirtualClock final : public TClock {
public:
    explicit TVirtualClock(uint32_t start = 0) : now(start) {}
    uint32_t Milliseconds() override { return now; }
    void Delay(int32_t ms) override { Advance(ms); }
    void DelayUntil(uint32_t deadline) override { AdvanceTo(deadline); }
    // Moves time forward by ms (wrapping at 2^32); a negative ms does nothing.
    void Advance(int32_t ms);
    // Moves time forward to t, if t lies ahead (in wrapping order) of now.
    void AdvanceTo(uint32_t t);

private:
    uint32_t now;
};

// True when time a comes after b on the wrapping 32-bit clock.
constexpr bool ClockIsAfter(uint32_t a, uint32_t b) {
    return static_cast<int32_t>(a - b) > 0;
}

// The platform's real clock: its half of the system library (sdl/sdl_clock.cpp) makes it.
[[nodiscard]] Ref<TClock> MakePlatformClock();

// Replaces the clock and gives the previous one back; nullptr restores the real clock.
Ref<TClock> SetClock(Ref<TClock> clock);
// The clock in use (the real clock unless one was set).
Ref<TClock> CurrentClock();

// Milliseconds on the current clock; 32 bits, wrapping: compare times by their difference.
uint32_t MillisecondClock();
// Sleeps ms milliseconds on the current clock; zero or a negative value returns at once.
void DelayMillis(int32_t ms);
// Sleeps on the current clock until it reads deadline; a deadline not ahead returns at once.
void DelayUntil(uint32_t deadline);

}  // namespace qrv
