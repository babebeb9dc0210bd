#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer, and runs
# every test under a virtual X display of its own. Extra arguments go to ctest (e.g. -R Board).
set -euo pipefail
cd "$(dirname "$0")"

tools/setup.sh test

build=build/test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DZORVAK_SANITIZE=ON -DZORVAK_WARNINGS_AS_ERRORS=ON -DZORVAK_BUILD_BENCHMARKS=OFF
cmake --build "$build"

source tools/virtual-display.sh
start_virtual_display

source tools/sanitizer-env.sh
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@"
