#!/usr/bin/env bash
# Builds every fuzz target (fuzz/<target>.cpp) with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, then runs each for SECONDS (default 300), one after another.
# Usage: tools/fuzz.sh [SECONDS] [TARGET...]
#   New inputs that reach new code go to build/fuzz/corpus/<target>/ (seeded from
#   fuzz/corpus/<target>/, which is never written); a finding is saved under
#   build/fuzz/findings/<target>/ and its path printed. Fails when any target found something.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-300}
shift || true
tools/setup.sh fuzz

targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
  for source in fuzz/*.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi

# Absolute paths throughout: some targets work in a scratch folder of their own.
build=$PWD/build/fuzz
flags="-g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DZORVAK_FUZZ=ON \
  -DZORVAK_BUILD_TESTS=OFF -DZORVAK_BUILD_BENCHMARKS=OFF
cmake --build "$build" -j 2 --target "${targets[@]/%/_fuzzer}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

failed=()
for target in "${targets[@]}"; do
  corpus=$build/corpus/$target
  findings=$build/findings/$target
  mkdir -p "$corpus" "$findings"
  log=$build/$target.log
  echo "== $target: ${seconds}s, log in $log"
  if "$build/fuzz/${target}_fuzzer" "$corpus" "$PWD/fuzz/corpus/$target" \
      -max_total_time="$seconds" -rss_limit_mb=2048 -malloc_limit_mb=1024 -timeout=10 \
      -artifact_prefix="$findings/" -print_final_stats=1 >"$log" 2>&1; then
    grep -E "^stat::number_of_executed_units|^#[0-9]+.*DONE" "$log" | tail -2 || true
  else
    reproducer=$(grep -o "Test unit written to .*" "$log" | tail -1 | sed 's/Test unit written to //')
    tail -n 40 "$log"
    echo "!! $target found a fault; reproducer: ${reproducer:-see $log}"
    failed+=("$target")
  fi
done

if [[ ${#failed[@]} -gt 0 ]]; then
  echo "Findings in: ${failed[*]}"
  exit 1
fi
echo "No findings in: ${targets[*]}"
