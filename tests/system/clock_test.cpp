#include "system/clock.h"

#include <gtest/gtest.h>

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

TEST(Clock, SettingNoClockRestoresTheRealOne) {
    qrv::SetClock(std::make_shared<qrv::TVirtualClock>(5));
    qrv::SetClock(nullptr);
    const uint32_t start = qrv::MillisecondClock();
    qrv::DelayMillis(3);
    EXPECT_GE(qrv::MillisecondClock() - start, 3u) << "the real clock runs while the program sleeps";
}

}  // namespace
