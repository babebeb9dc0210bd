// The portrait and its blinking eyes, drawn in the game window on virtual time.
#include <gtest/gtest.h>

#include "game/portrait.h"
#include "kaz2d/kaz2d_module.h"
#include "system/clock.h"
#include "system/random.h"
#include "tests/game/game_window.h"

namespace {

using namespace qrv;
using zorvak::TEye;

constexpr int32_t kEyeX = 184;
constexpr int32_t kEyeY = 104;

class Portrait : public zorvak_test::GameWindow {
protected:
    void SetUp() override {
        GameWindow::SetUp();
        if (HasFatalFailure()) return;
        SetDrawColor(255, 255, 255);
        SetDrawAlpha(1.0f);
    }

    // The eye of the game's portrait, fresh on this test's clock.
    TEye& Eye() { return *Girl().eye; }

    // Puts the eye at the start of a phase lasting `interval` ms from now.
    void StartPhase(int phase, int32_t interval) {
        Eye().phase = phase;
        Eye().interval = interval;
        Eye().lastChange = Now();
    }
};

TEST_F(Portrait, DrawsThePictureWithTheEyesOverIt) {
    ASSERT_EQ(Girl().Update(1), 1);
    const Ref<TPixmap> picture = EmbeddedPixmap("s0.png");
    const Ref<TPixmap> eye = EmbeddedPixmap("e0.png");
    ASSERT_TRUE(picture && eye);
    for (auto [x, y] : {std::pair{5, 5}, {300, 400}, {kEyeX - 1, kEyeY + 10}, {kEyeX + 78, kEyeY}}) {
        const uint32_t expected = picture->GetPixelARGB(x, y) & 0xFFFFFF;
        EXPECT_TRUE(zorvak_test::ColoursClose(PixelAt(x, y), expected, 2))
            << "picture pixel (" << x << ", " << y << ") is " << zorvak_test::HexColour(PixelAt(x, y))
            << ", expected " << zorvak_test::HexColour(expected);
    }
    int opaque = 0;
    for (int32_t y = 0; y < eye->Height(); ++y) {
        for (int32_t x = 0; x < eye->Width(); ++x) {
            const uint32_t argb = eye->GetPixelARGB(x, y);
            if (argb >> 24 != 0xFF) continue;
            ++opaque;
            ASSERT_TRUE(zorvak_test::ColoursClose(PixelAt(kEyeX + x, kEyeY + y), argb & 0xFFFFFF, 2))
                << "eye pixel (" << x << ", " << y << ")";
        }
    }
    EXPECT_GT(opaque, 100) << "the eye picture should have an opaque part";
}

TEST_F(Portrait, PicturesOutsideTheValidSlotsAreRefused) {
    Girl().SetPicture(3);
    const Ref<TImage> third = Girl().picture;
    for (int index : {7, -1, 10, 1000}) {
        Girl().SetPicture(index);
        EXPECT_EQ(Girl().level, 3) << "index " << index;
        EXPECT_EQ(Girl().picture, third) << "index " << index;
    }
    Girl().SetPicture(6);
    EXPECT_EQ(Girl().level, 6);
    EXPECT_EQ(Girl().picture, Girl().pictures[6]);
}

TEST_F(Portrait, UpdateDrawsOnlyWhenTheEyesAreDueUnlessForced) {
    StartPhase(0, 500);
    session->Clock().Advance(500);
    EXPECT_EQ(Girl().Update(0), 0) << "the interval has not been exceeded yet";
    EXPECT_EQ(Girl().Update(1), 1);
    EXPECT_EQ(Eye().phase, 0) << "a forced draw advances the eye only when due";

    session->Clock().Advance(1);
    EXPECT_EQ(Girl().Update(0), 1);
    EXPECT_EQ(Eye().phase, 1);
    EXPECT_EQ(Eye().current, Eye().frames[1]);
    EXPECT_EQ(Girl().Update(0), 0) << "a second update in the same millisecond draws nothing";
}

TEST_F(Portrait, APhaseEndsOnlyAfterItsIntervalIsExceeded) {
    StartPhase(1, 10);
    session->Clock().Advance(10);
    Eye().Draw();
    EXPECT_EQ(Eye().phase, 1) << "exactly the interval keeps the phase";
    session->Clock().Advance(1);
    Eye().Draw();
    EXPECT_EQ(Eye().phase, 2);
    EXPECT_EQ(Eye().current, Eye().frames[2]);
    EXPECT_EQ(Eye().lastChange, Now());
}

TEST_F(Portrait, BlinkPhasesLastWithinTheirRanges) {
    SeedRandom(777);
    int64_t openTotal = 0;
    constexpr int kBlinks = 400;
    for (int blink = 0; blink < kBlinks; ++blink) {
        StartPhase(0, 0);
        session->Clock().Advance(1);
        Eye().Draw();
        ASSERT_EQ(Eye().phase, 1);
        ASSERT_GE(Eye().interval, 10);
        ASSERT_LE(Eye().interval, 49);
        session->Clock().Advance(Eye().interval + 1);
        Eye().Draw();
        ASSERT_EQ(Eye().phase, 2);
        ASSERT_GE(Eye().interval, 50);
        ASSERT_LE(Eye().interval, 199);
        session->Clock().Advance(Eye().interval + 1);
        Eye().Draw();
        ASSERT_EQ(Eye().phase, 0);
        ASSERT_EQ(Eye().current, Eye().frames[0]);
        ASSERT_GE(Eye().interval, 0);
        openTotal += Eye().interval;
    }
    const int64_t mean = openTotal / kBlinks;
    EXPECT_GT(mean, 1700) << "the open time should average about 2000 ms";
    EXPECT_LT(mean, 2300) << "the open time should average about 2000 ms";
}

TEST_F(Portrait, AFullBlinkDrawsThreeRandomNumbers) {
    SeedRandom(4242);
    (void)RandomReal(1, 0);
    (void)RandomReal(1, 0);
    (void)RandomReal(1, 0);
    const int32_t afterThree = GetRandomSeed();

    SeedRandom(4242);
    StartPhase(0, 0);
    for (int phase = 0; phase < 3; ++phase) {
        session->Clock().Advance(Eye().interval + 1);
        Eye().Draw();
    }
    EXPECT_EQ(Eye().phase, 0);
    EXPECT_EQ(GetRandomSeed(), afterThree);
}

TEST_F(Portrait, BlinkTimingSurvivesTheClockWrapping) {
    session->Clock().AdvanceTo(0xFFFFFFF0u);
    StartPhase(1, 20);
    session->Clock().Advance(20);  // now 4 ms past the wrap
    Eye().Draw();
    EXPECT_EQ(Eye().phase, 1);
    session->Clock().Advance(1);
    Eye().Draw();
    EXPECT_EQ(Eye().phase, 2);
}

TEST_F(Portrait, AnEyeMadeOnTheVirtualClockWaitsBeforeItsFirstBlink) {
    const TEye eye;
    EXPECT_EQ(eye.phase, 0);
    EXPECT_EQ(eye.lastChange, Now());
    EXPECT_GE(eye.interval, 0);
    EXPECT_EQ(eye.meanOpenTime, 2000);
}

}  // namespace
