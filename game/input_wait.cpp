#include "game/input_wait.h"

#include "system/clock.h"
#include "system/system_driver.h"

namespace zorvak {

namespace {

// How long a loop with nothing timed to do waits at most: it still passes through the clock now
// and then, where a scripted run's watchdog can stop a screen that would wait forever.
constexpr int32_t IDLE_WAKE_MILLIS = 1000;

}  // namespace

void PollInput() {
    qrv::PumpMessages();
}

void WaitForInput() {
    qrv::DelayMillis(1);
    qrv::WaitForMessagesUntil(qrv::MillisecondClock() + IDLE_WAKE_MILLIS);
}

void WaitForInput(uint32_t dueAt) {
    qrv::DelayMillis(1);
    qrv::WaitForMessagesUntil(dueAt);
}

}  // namespace zorvak
