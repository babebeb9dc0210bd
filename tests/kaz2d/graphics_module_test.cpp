#include "kaz2d/graphics_module.h"

#include "kaz2d/frame_pacer.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/failure.h"
#include "framework/framework.h"
#include "system/clock.h"
#include "system/hook.h"

namespace qrv {
namespace {

// A driver that records what the graphics module asks of it, for checking the driver-neutral
// layer: selection, settings, mode lists and frame pacing on the virtual clock.
class TRecordingDriver final : public TGraphicsDriver, public std::enable_shared_from_this<TRecordingDriver> {
public:
    std::vector<TGraphicsMode> modes;
    std::vector<uint32_t> presentTimes;
    std::vector<int32_t> presentSyncs;
    int enumerations = 0;
    int releases = 0;
    bool failCreate = false;

    std::vector<TGraphicsMode> EnumerateModes() override {
        ++enumerations;
        return modes;
    }
    Ref<TGraphics> AttachContext(void*, int32_t flags) override { return Make({64, 32, 0, 0, flags}); }
    Ref<TGraphics> CreateContext(int32_t w, int32_t h, int32_t d, int32_t hz, int32_t flags) override {
        if (failCreate) throw std::runtime_error("no context here");
        return Make({w, h, d, hz, flags});
    }
    void MakeCurrent(const Ref<TGraphics>& g) override {
        if (!g) ++releases;
    }
    void PresentBuffer(int32_t sync) override {
        presentTimes.push_back(MillisecondClock());
        presentSyncs.push_back(sync);
    }

private:
    class TRecordingGraphics final : public TGraphics {
    public:
        TRecordingGraphics(Ref<TGraphicsDriver> driver, TGraphicsSettings settings)
            : driver(std::move(driver)), settings(settings) {}
        Ref<TGraphicsDriver> GetDriver() override { return driver; }
        TGraphicsSettings GetSettings() override { return settings; }
        void Close() override { closed = true; }
        bool closed = false;

    private:
        Ref<TGraphicsDriver> driver;
        TGraphicsSettings settings;
    };
    Ref<TGraphics> Make(TGraphicsSettings s) {
        return std::make_shared<TRecordingGraphics>(shared_from_this(), s);
    }
};

class GraphicsModule : public ::testing::Test {
protected:
    void SetUp() override {
        InitGraphicsModule();
        clock = std::make_shared<TVirtualClock>(1000);
        previousClock = SetClock(clock);
        driver = std::make_shared<TRecordingDriver>();
        SelectGraphicsDriver(driver, GFX_BACK_BUFFER);
    }
    void TearDown() override {
        CloseGraphicsWindow();
        SelectGraphicsDriver(nullptr, 0);
        SetClock(previousClock);
    }
    // Presents n frames, each taking frameMillis of drawing.
    void PresentFrames(int n, int32_t frameMillis) {
        for (int i = 0; i < n; ++i) {
            clock->Advance(frameMillis);
            PresentFrame(-1);
        }
    }
    std::vector<uint32_t> Intervals() const {
        std::vector<uint32_t> gaps;
        for (size_t i = 1; i < driver->presentTimes.size(); ++i)
            gaps.push_back(driver->presentTimes[i] - driver->presentTimes[i - 1]);
        return gaps;
    }

    Ref<TVirtualClock> clock;
    Ref<TClock> previousClock;
    Ref<TRecordingDriver> driver;
};

TEST(GraphicsMode, TextForm) {
    EXPECT_EQ((TGraphicsMode{640, 480, 32, 60}.ToString()), u"640,480,32 60Hz");
}

TEST_F(GraphicsModule, ContextGenerationNeverBecomesZero) {
    contextGeneration = 2147483647;
    AdvanceContextGeneration();
    EXPECT_EQ(contextGeneration, -2147483647 - 1);
    contextGeneration = -1;
    AdvanceContextGeneration();
    EXPECT_EQ(contextGeneration, 1);
}

TEST_F(GraphicsModule, OpeningAndClosingTheWindowChangeTheGeneration) {
    const int32_t before = contextGeneration;
    ASSERT_TRUE(OpenGraphicsWindow(512, 512, 0, 50, 0));
    EXPECT_NE(contextGeneration, before);
    const int32_t opened = contextGeneration;
    CloseGraphicsWindow();
    EXPECT_NE(contextGeneration, opened);
    EXPECT_EQ(CurrentGraphics(), nullptr);
    EXPECT_EQ(DefaultGraphics(), nullptr);
}

TEST_F(GraphicsModule, SelectingTheSameDriverOnlyResetsFlagsAndGraphics) {
    driver->modes = {{640, 480, 32, 60}};
    EXPECT_EQ(GraphicsModeCount(), 1);
    SelectGraphics(NewGraphics(320, 200, 0, 0, 0));
    EXPECT_EQ(CurrentWidth(), 320);
    EXPECT_EQ(CurrentFlags(), GFX_BACK_BUFFER);

    SelectGraphicsDriver(driver, 8);
    EXPECT_EQ(DefaultContextFlags(), 8);
    EXPECT_EQ(CurrentGraphics(), nullptr);
    EXPECT_EQ(CurrentWidth(), 0);
    EXPECT_EQ(driver->releases, 0) << "the same driver keeps its context current";
    EXPECT_EQ(GraphicsModeCount(), 1);
    EXPECT_EQ(driver->enumerations, 1) << "the mode cache survives";

    auto other = std::make_shared<TRecordingDriver>();
    SelectGraphics(NewGraphics(320, 200, 0, 0, 0));
    SelectGraphicsDriver(other, 2);
    EXPECT_EQ(driver->releases, 1) << "changing drivers releases the old one's context";
    EXPECT_EQ(GraphicsModeCount(), 0);
}

TEST_F(GraphicsModule, ModeQueries) {
    EXPECT_FALSE(HasGraphicsMode(0, 0, 0, 0)) << "an empty list has no mode";
    SelectGraphicsDriver(nullptr, 0);
    driver->modes = {{640, 480, 16, 60}, {1024, 768, 32, 75}};
    SelectGraphicsDriver(driver, 2);
    EXPECT_TRUE(HasGraphicsMode(0, 0, 0, 0));
    EXPECT_TRUE(HasGraphicsMode(1024, 0, 32, 0));
    EXPECT_FALSE(HasGraphicsMode(1024, 0, 16, 0));
    int32_t w, h, d, hz;
    EXPECT_TRUE(GraphicsModeAt(1, w, h, d, hz));
    EXPECT_EQ((TGraphicsMode{w, h, d, hz}), (TGraphicsMode{1024, 768, 32, 75}));
    EXPECT_FALSE(GraphicsModeAt(2, w, h, d, hz));
    EXPECT_EQ(w, 0);
}

TEST_F(GraphicsModule, DriverExceptionsGiveNoGraphics) {
    driver->failCreate = true;
    EXPECT_EQ(NewGraphics(100, 100, 0, 0, 0), nullptr);
    EXPECT_EQ(OpenGraphicsWindow(100, 100, 0, 50, 0), nullptr);
    EXPECT_EQ(LastFailureUtf8(), "could not open graphics: no context here");
    EXPECT_EQ(DefaultGraphics(), nullptr);
    EXPECT_EQ(CurrentGraphics(), nullptr);
    EXPECT_EQ(AttachGraphicsToWindow(nullptr, 0)->GetSettings().width, 64);
    EXPECT_EQ(LastFailureUtf8(), "could not open graphics: no context here") << "a success leaves it";
}

// SDL asked for a video driver it does not have: the window cannot open, and SDL's reason
// comes back through LastFailure.
TEST(GraphicsWindow, AWindowSDLCannotOpenGivesSDLsReason) {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << "SDL's video runs already in this process";
    ASSERT_EQ(SDL_setenv("SDL_VIDEODRIVER", "no-such-video-driver", 1), 0);
    InitFramework();
    EXPECT_EQ(OpenGraphicsWindow(320, 200, 0, 0, 0), nullptr);
    const std::string reason = LastFailureUtf8();
    EXPECT_EQ(reason.rfind("could not open a window: ", 0), 0u) << reason;
    EXPECT_NE(reason.find("no-such-video-driver"), std::string::npos) << reason;
}

TEST_F(GraphicsModule, FiftyHertzPresentsTwentyMillisecondsApart) {
    ASSERT_TRUE(OpenGraphicsWindow(512, 512, 0, 50, 0));
    PresentFrames(10, 3);
    for (uint32_t gap : Intervals()) EXPECT_EQ(gap, 20u);
    for (int32_t sync : driver->presentSyncs) EXPECT_EQ(sync, 0);
}

TEST_F(GraphicsModule, AStallRestartsTheScheduleWithoutABurst) {
    ASSERT_TRUE(OpenGraphicsWindow(512, 512, 0, 50, 0));
    PresentFrames(3, 2);
    clock->Advance(95);  // a long frame
    PresentFrame(-1);
    const uint32_t afterStall = driver->presentTimes.back();
    PresentFrames(3, 2);
    ASSERT_EQ(driver->presentTimes.size(), 7u);
    EXPECT_EQ(driver->presentTimes[4] - afterStall, 20u) << "the next frame is a period after the late one";
    EXPECT_EQ(driver->presentTimes[5] - driver->presentTimes[4], 20u);
}

TEST_F(GraphicsModule, TheFrameDeltaIsTheTimeBetweenTheLastTwoFramesShown) {
    ASSERT_TRUE(OpenGraphicsWindow(512, 512, 0, 50, 0));
    PresentFrames(3, 2);
    EXPECT_DOUBLE_EQ(FrameDeltaSeconds(), 0.020) << "paced frames";
    clock->Advance(95);
    PresentFrame(-1);
    EXPECT_DOUBLE_EQ(FrameDeltaSeconds(), 0.095) << "a long frame";
    clock->Advance(5);
    EXPECT_DOUBLE_EQ(FrameDeltaSeconds(), 0.095) << "time without a present changes nothing";
    PresentFrame(-1);
    EXPECT_DOUBLE_EQ(FrameDeltaSeconds(), 0.020);
}

TEST_F(GraphicsModule, SixtyHertzSpreadsTheRemainder) {
    ASSERT_TRUE(OpenGraphicsWindow(512, 512, 0, 60, 0));
    const uint32_t start = MillisecondClock();
    PresentFrames(60, 1);
    EXPECT_EQ(driver->presentTimes.back() - start, 1000u);
}

TEST_F(GraphicsModule, ZeroHertzNeverSleeps) {
    ASSERT_TRUE(OpenGraphicsWindow(512, 512, 0, 0, 0));
    const uint32_t start = MillisecondClock();
    for (int i = 0; i < 5; ++i) PresentFrame(-1);
    EXPECT_EQ(MillisecondClock(), start);
    for (int32_t sync : driver->presentSyncs) EXPECT_EQ(sync, 0);
}

TEST_F(GraphicsModule, NegativeRatesPresentUnpaced) {
    for (int32_t hertz : {-1, -7, INT32_MIN}) {
        ASSERT_TRUE(OpenGraphicsWindow(64, 64, 0, hertz, 0));
        const uint32_t start = MillisecondClock();
        PresentFrames(5, 0);
        EXPECT_EQ(MillisecondClock(), start) << hertz;
    }
    for (int32_t sync : driver->presentSyncs) EXPECT_EQ(sync, 0);
}

TEST(FramePacer, AHugeRateGathersItsRemainderWithoutOverflow) {
    // Period 0 and a remainder of 1000 per frame: the first whole millisecond falls due only
    // after more than two million frames, where a 32-bit sum would have overflowed.
    auto clock = std::make_shared<TVirtualClock>(0);
    const Ref<TClock> previous = SetClock(clock);
    TFramePacer pacer;
    pacer.Start(INT32_MAX);
    constexpr int framesBeforeTheFirstMillisecond = INT32_MAX / 1000 + 1;
    for (int i = 1; i < framesBeforeTheFirstMillisecond; ++i) pacer.WaitForNextFrame();
    EXPECT_EQ(MillisecondClock(), 0u);
    pacer.WaitForNextFrame();
    EXPECT_EQ(MillisecondClock(), 1u);
    SetClock(previous);
}

TEST_F(GraphicsModule, ExplicitSyncBypassesPacing) {
    ASSERT_TRUE(OpenGraphicsWindow(512, 512, 0, 50, 0));
    const uint32_t start = MillisecondClock();
    PresentFrame(0);
    PresentFrame(1);
    EXPECT_EQ(MillisecondClock(), start);
    EXPECT_EQ(driver->presentSyncs, (std::vector<int32_t>{0, 1}));
}

int presentHookCalls = 0;
Ref<TObject> CountPresent(int32_t, Ref<TObject> data, Ref<TObject>) {
    ++presentHookCalls;
    return data;
}

TEST_F(GraphicsModule, PresentHooksRunFirst) {
    InstallHook(presentHookId, CountPresent, nullptr);
    ASSERT_TRUE(OpenGraphicsWindow(64, 64, 0, 0, 0));
    PresentFrame(-1);
    PresentFrame(1);
    UninstallHook(presentHookId, CountPresent, nullptr);
    EXPECT_EQ(presentHookCalls, 2);
}

}  // namespace
}  // namespace qrv
