#include "system/clock.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

TEST(Clock, TheVirtualClockMovesOnlyWhenAskedAndWraps) {
    auto clock = std::make_shared<qrv::TVirtualClock>(0xFFFFFFF0u);
    const auto previous = qrv::SetClock(clock);
    EXPECT_EQ(qrv::MillisecondClock(), 0xFFFFFFF0u);
    EXPECT_EQ(qrv::MillisecondClock(), 0xFFFFFFF0u);
    qrv::DelayMillis(-5);
    qrv::DelayMillis(0);
    EXPECT_EQ(qrv::MillisecondClock(), 0xFFFFFFF0u);
    const uint32_t before = qrv::MillisecondClock();
    qrv::DelayMillis(32);
    EXPECT_EQ(qrv::MillisecondClock(), 0x10u);
    EXPECT_EQ(qrv::MillisecondClock() - before, 32u) << "differences survive the wrap";
    EXPECT_TRUE(qrv::ClockIsAfter(qrv::MillisecondClock(), before));

    clock->AdvanceTo(0x08u);  // behind: nothing
    EXPECT_EQ(qrv::MillisecondClock(), 0x10u);
    clock->AdvanceTo(0x20u);
    EXPECT_EQ(qrv::MillisecondClock(), 0x20u);
    qrv::SetClock(previous);
}

TEST(Clock, DelayUntilReachesTheDeadlineAndNeverWaitsForOneBehind) {
    auto clock = std::make_shared<qrv::TVirtualClock>(0xFFFFFFF0u);
    const auto previous = qrv::SetClock(clock);
    qrv::DelayUntil(0x05u);  // ahead across the wrap
    EXPECT_EQ(qrv::MillisecondClock(), 0x05u);
    qrv::DelayUntil(0xFFFFFFFFu);  // behind
    EXPECT_EQ(qrv::MillisecondClock(), 0x05u);

    qrv::SetClock(nullptr);
    const uint32_t start = qrv::MillisecondClock();
    qrv::DelayUntil(start + 4);
    EXPECT_GE(qrv::MillisecondClock() - start, 4u) << "the real clock sleeps to the deadline";
    const auto before = std::chrono::steady_clock::now();
    qrv::DelayUntil(start);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(1));
    qrv::SetClock(previous);
}

TEST(Clock, SettingNoClockRestoresTheRealOne) {
    qrv::SetClock(std::make_shared<qrv::TVirtualClock>(5));
    qrv::SetClock(nullptr);
    const uint32_t start = qrv::MillisecondClock();
    qrv::DelayMillis(3);
    EXPECT_GE(qrv::MillisecondClock() - start, 3u) << "the real clock runs while the program sleeps";
}

TEST(Clock, TheRealClockCountsFromSystemStartNotFromProgramStart) {
    // Boards are seeded from this clock at start-up: a count that began with the program
    // would give nearly the same first board on every run.
    qrv::SetClock(nullptr);
    const auto uptime = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    const auto difference = static_cast<int32_t>(qrv::MillisecondClock() - static_cast<uint32_t>(uptime.count()));
    EXPECT_LE(std::abs(difference), 100) << "the clock follows the system's monotonic clock";
}

}  // namespace
