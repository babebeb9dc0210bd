#!/usr/bin/env bash
# Builds the release benchmarks in build/bench, runs every program of bench/ and the start-up,
# idle, pacing and memory measurements under a virtual display of its own, and prints one table
# of figures, each beside its peer measured in the same run (tools/bench-table.py).
#
#   tools/bench.sh                 # everything, 5 repetitions per benchmark
#   BENCH_REPETITIONS=3 tools/bench.sh
#   BENCH_FILTER=pixmap tools/bench.sh   # only the bench programs whose name holds the text
set -euo pipefail
cd "$(dirname "$0")/.."

repetitions=${BENCH_REPETITIONS:-5}
filter=${BENCH_FILTER:-}
build=build/bench
results=$build/results  # the raw measurements of the last run

tools/setup.sh test >&2
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZORVAK_BUILD_TESTS=OFF >&2
cmake --build "$build" -j2 >&2
rm -rf "$results"
mkdir -p "$results"

source tools/virtual-display.sh
start_virtual_display >&2

for program in "$build"/bench/*_bench; do
  name=$(basename "$program")
  [[ -n "$filter" && "$name" != *"$filter"* ]] && continue
  runs=$repetitions
  [[ "$name" == session_bench ]] && runs=1  # one long session is the measurement
  echo "running $name" >&2
  "$program" --benchmark_repetitions="$runs" --benchmark_format=json \
    --benchmark_out="$results/$name.json" --benchmark_out_format=json >/dev/null
done

# The renderers' own drawing cost: the sprites again on Mesa's no-op driver, where every OpenGL
# call does its processor work and nothing is rasterised (what a machine with a graphics
# processor leaves to the processor).
if [[ -z "$filter" || "sprite_bench" == *"$filter"* ]]; then
  echo "running sprite_bench on the no-op driver" >&2
  GALLIUM_NOOP=1 "$build/bench/sprite_bench" --benchmark_repetitions="$repetitions" \
    --benchmark_format=json --benchmark_out="$results/sprite_bench.noop.json" \
    --benchmark_out_format=json >/dev/null
fi

if [[ -z "$filter" || "startup" == *"$filter"* ]]; then
  # The game with the introduction off, from a folder of its own.
  game=$(mktemp -d)
  cp "$build/game/zorvak" "$game/"
  printf 'Play the introduction at start-up (1 yes, 0 no):\n0\nDifficulty, spies added to each mission (0, 1 or 2):\n1\n' \
    >"$game/zorvak.cfg"
  probe="$build/bench/startup_probe"
  peer="$build/bench/plain_window"
  echo "measuring start-up and idle time" >&2
  "$probe" start "$repetitions" "$game/zorvak" "Tavika: ZORVAK v0.1." "$peer" "plain window" >"$results/start.jsonl"
  "$probe" start "$repetitions" "$game/zorvak" "Tavika: ZORVAK v0.1." "$peer" "plain window" picture \
    >"$results/start-picture.jsonl"
  "$probe" idle 10 "$game/zorvak" "Tavika: ZORVAK v0.1." "$peer" "plain window" idle >"$results/idle.jsonl"
  rm -rf "$game"
fi

echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores of $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), load $(cut -d' ' -f1-3 /proc/loadavg)."
echo
python3 tools/bench-table.py "$results"
