#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "kaz2d/gl/gl_graphics_driver.h"
#include "kaz2d/graphics_module.h"

// Frame pacing on the real clock: 500 presents of an empty frame in a 50 Hz window. The spread
// of the intervals between presents shows the pacing jitter (ideal: every interval 20 ms).
// Needs a display (run it under Xvfb or on a desktop).
static void BM_PacedPresentsAt50Hz(benchmark::State& state) {
    qrv::InitGLGraphicsModule();
    if (!qrv::OpenGLGraphicsWindow(512, 512, 0, 50, 0)) {
        state.SkipWithError("no OpenGL window");
        return;
    }
    using Clock = std::chrono::steady_clock;
    std::vector<double> intervals;
    for (auto _ : state) {
        intervals.clear();
        Clock::time_point last = Clock::now();
        for (int frame = 0; frame < 500; ++frame) {
            qrv::PresentFrame(-1);
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
BENCHMARK(BM_PacedPresentsAt50Hz)->Iterations(1)->Unit(benchmark::kMillisecond);
