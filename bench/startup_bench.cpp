// The program's own work at start-up, cold: each repetition runs in a fresh process, which
// opens the game's window, loads the resources behind the loading screen and draws and presents
// the first board, on a virtual clock so that the pacing of the presents costs nothing. The
// time is the processor time of the process (all its threads, the renderer's included): on a
// shared machine the wall clock mostly measures the other programs. The counters split it into
// its steps.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "bench/fresh_process.h"
#include "game/board_screen.h"
#include "game/game.h"
#include "game/missions.h"
#include "game/startup.h"
#include "kaz2d/graphics_module.h"
#include "kaz2d/kaz2d_module.h"
#include "system/application.h"
#include "system/clock.h"
#include "system/random.h"

namespace {

struct TStartupSteps {
    double window = 0, resources = 0, board = 0;
    double peakMiB = 0, heapMiB = 0;  // VmHWM and the heap in use at the board
};

double PeakMemoryMiB() {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return 0;
    char line[256];
    double kib = 0;
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, "VmHWM:", 6) == 0) kib = std::atof(line + 6);
    std::fclose(status);
    return kib / 1024;
}

double ProcessCpuMillis() {
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) * 1e3 + static_cast<double>(used.tv_nsec) / 1e6;
}

double MillisSince(double& from) {
    const double now = ProcessCpuMillis();
    const double millis = now - from;
    from = now;
    return millis;
}

// What the program does up to its first board frame; the pacing sleeps are virtual.
TStartupSteps RunStartup() {
    TStartupSteps steps;
    double from = ProcessCpuMillis();
    zorvak::InitGameModules();
    qrv::SetClock(std::make_shared<qrv::TVirtualClock>(1000));
    qrv::SetApplicationTitle(u"Tavika: ZORVAK v0.1.");
    qrv::SeedRandom(1);
    if (!qrv::OpenGraphicsWindow(512, 512, 0, 50, 0)) return {};
    qrv::SetBlendMode(qrv::BLEND_ALPHA);
    qrv::SetDrawColor(0, 200, 0);
    steps.window = MillisSince(from);
    zorvak::TGame game;
    if (!zorvak::LoadGameResources(game.resources).empty()) return {};
    steps.resources = MillisSince(from);
    zorvak::NewMission(game.board, zorvak::FirstMissionSpyCount(1));
    zorvak::ComputeFinderCounts(game.board);
    zorvak::DrawBoardScreen(game);
    qrv::PresentFrame();
    steps.board = MillisSince(from);
    const struct mallinfo2 heap = mallinfo2();
    steps.heapMiB = static_cast<double>(heap.uordblks + heap.hblkhd) / (1024 * 1024);
    steps.peakMiB = PeakMemoryMiB();
    return steps;
}

// Runs the start-up in a child process and reads its steps back.
bool RunColdStartup(TStartupSteps& steps) {
    return qrv::bench::MeasureInFreshProcess(RunStartup, steps) && steps.board > 0;
}

void BM_StartupWork(benchmark::State& state) {
    TStartupSteps steps;
    for (auto _ : state) {
        if (!RunColdStartup(steps)) {
            state.SkipWithError("the start-up failed");
            return;
        }
        state.SetIterationTime((steps.window + steps.resources + steps.board) / 1000);
    }
    state.counters["window_ms"] = steps.window;
    state.counters["resources_ms"] = steps.resources;
    state.counters["first_board_ms"] = steps.board;
    state.counters["peak_MiB"] = steps.peakMiB;
    state.counters["heap_MiB"] = steps.heapMiB;
}
BENCHMARK(BM_StartupWork)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
