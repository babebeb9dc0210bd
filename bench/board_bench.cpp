#include <benchmark/benchmark.h>

#include "game/board.h"
#include "system/random.h"

// A whole new board: spy placement with its draws, then every finder count.
static void BM_NewMissionAndFinders(benchmark::State& state) {
    qrv::SeedRandom(1);
    const int spies = static_cast<int>(state.range(0));
    zorvak::TBoard board;
    for (auto _ : state) {
        zorvak::NewMission(board, spies);
        zorvak::ComputeFinderCounts(board);
        benchmark::DoNotOptimize(board.finders);
    }
}
BENCHMARK(BM_NewMissionAndFinders)->Arg(3)->Arg(8)->Arg(64);

static void BM_RandomDouble(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(qrv::RandomDouble());
}
BENCHMARK(BM_RandomDouble);
