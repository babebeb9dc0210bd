#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <vector>

#include "kaz2d/gl/gl_graphics_driver.h"
#include "kaz2d/graphics_module.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int FRAMES = 500;

// Opens the 50 Hz window, presents FRAMES empty frames through present (after the first one)
// and reports the spread of the intervals between them.
template <class Present>
void MeasurePresentIntervals(benchmark::State& state, Present present) {
    qrv::InitGLGraphicsModule();
    if (!qrv::OpenGLGraphicsWindow(512, 512, 0, 50, 0)) {
        state.SkipWithError("no OpenGL window");
        return;
    }
    std::vector<double> intervals;
    for (auto _ : state) {
        intervals.clear();
        qrv::PresentFrame(0);
        Clock::time_point last = Clock::now();
        for (int frame = 0; frame < FRAMES; ++frame) {
            present();
            const Clock::time_point now = Clock::now();
            intervals.push_back(std::chrono::duration<double, std::milli>(now - last).count());
            last = now;
        }
    }
    qrv::CloseGraphicsWindow();
    std::sort(intervals.begin(), intervals.end());
    const auto at = [&](double q) { return intervals[static_cast<size_t>(q * (intervals.size() - 1))]; };
    state.counters["median_ms"] = at(0.5);
    state.counters["p99_ms"] = at(0.99);
    state.counters["min_ms"] = intervals.front();
    state.counters["max_ms"] = intervals.back();
}

}  // namespace

// Frame pacing on the real clock: 500 presents of an empty frame in a 50 Hz window. The spread
// of the intervals between presents shows the pacing jitter (ideal: every interval 20 ms).
// Needs a display (run it under Xvfb or on a desktop).
static void BM_PresentIntervals(benchmark::State& state) {
    MeasurePresentIntervals(state, [] { qrv::PresentFrame(-1); });
}
BENCHMARK(BM_PresentIntervals)->Iterations(1)->Unit(benchmark::kMillisecond);

// The peer: the same window and presents, unpaced, each after an absolute sleep to the next
// 20 ms deadline with clock_nanosleep.
static void BM_PresentIntervals_Peer(benchmark::State& state) {
    timespec deadline{};
    MeasurePresentIntervals(state, [&deadline] {
        if (deadline.tv_sec == 0) clock_gettime(CLOCK_MONOTONIC, &deadline);
        deadline.tv_nsec += 20000000;
        if (deadline.tv_nsec >= 1000000000) {
            deadline.tv_nsec -= 1000000000;
            ++deadline.tv_sec;
        }
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr);
        qrv::PresentFrame(0);
    });
}
BENCHMARK(BM_PresentIntervals_Peer)->Iterations(1)->Unit(benchmark::kMillisecond);
